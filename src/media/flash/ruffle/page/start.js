// Runs once Ruffle and the web channel's script have loaded: the page tells the player it is ready.
"use strict";
new QWebChannel(qt.webChannelTransport, (channel) => {
    bridge = channel.objects.bridge;
    bridge.command.connect(run);
    bridge.pageReady();
});
