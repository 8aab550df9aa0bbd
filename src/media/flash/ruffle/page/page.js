// The page of one Flash object: one Ruffle player, driven by the player program over the web
// channel. Names and settings arrive as data; nothing here is ever built from them as code.
"use strict";

// This web engine's fetch() refuses our own scheme, which Ruffle loads its code and the movie
// through; XMLHttpRequest serves it.
(() => {
    const ownFetch = window.fetch.bind(window);
    window.fetch = (input, init) => {
        const url = typeof input === "string" ? input : input instanceof URL ? input.href : input.url;
        if (!String(url).startsWith("vxflash:")) return ownFetch(input, init);
        return new Promise((resolve, reject) => {
            const request = new XMLHttpRequest();
            request.open("GET", url);
            request.responseType = "arraybuffer";
            request.onload = () => {
                if (request.status !== 200 && request.status !== 0) {
                    reject(new TypeError("Failed to fetch " + url));
                    return;
                }
                const type = request.getResponseHeader("Content-Type") || "application/octet-stream";
                resolve(new Response(request.response, {status: 200, headers: {"Content-Type": type}}));
            };
            request.onerror = () => reject(new TypeError("Failed to fetch " + url));
            request.send();
        });
    };
})();

let bridge = null;
let player = null;
let wantPlaying = true;

function reportState() {
    if (!player) return;
    const ruffle = player.ruffle();
    bridge.readyState(ruffle.readyState, ruffle.isPlaying);
}

function load(config) {
    if (player) player.remove();
    window.RufflePlayer = window.RufflePlayer || {};
    window.RufflePlayer.config = {
        publicPath: "vxflash://player/ruffle/",
        polyfills: false,
        autoplay: "on",
        unmuteOverlay: "hidden",
        splashScreen: false,
        preloader: false,
        // The control fills its whole window with the background, around the movie too.
        letterbox: "off",
        // Ruffle passes FSCommands on only with networking allowed; the profile lets no request
        // leave the player's own scheme.
        allowNetworking: "all",
        openUrlMode: "deny",
        // And only with script access: the page has no powers beyond the channel's few calls.
        allowScriptAccess: true,
        maxExecutionDuration: 15,
        playerVersion: 32,
        logLevel: "error",
    };
    player = window.RufflePlayer.newest().createPlayer();
    player.style.width = "100%";
    player.style.height = "100%";
    document.getElementById("movie").appendChild(player);
    // A stopped Flash movie just stands still: no play button over it.
    if (player.shadowRoot) {
        const style = document.createElement("style");
        style.textContent = "#play-button { display: none !important; }";
        player.shadowRoot.appendChild(style);
    }
    player.onFSCommand = (command, args) => {
        bridge.fsCommand(String(command), String(args));
        return true;
    };
    player.addEventListener("loadedmetadata", () => {
        bridge.metadata(player.ruffle().metadata);
        reportState();
    });
    player.addEventListener("loadeddata", () => {
        if (!wantPlaying) player.ruffle().suspend();
        reportState();
    });
    wantPlaying = config.play;
    const options = {
        url: config.url,
        quality: config.quality,
        scale: config.scale,
        forceScale: true,
        salign: config.salign,
        forceAlign: true,
        contextMenu: config.menu ? "on" : "off",
    };
    if (config.background) options.backgroundColor = config.background;
    player.ruffle().load(options).then(reportState, (error) => bridge.failed(String(error)));
    reportState();
}

function run(name, config) {
    if (name === "load") {
        load(config);
    } else if (player && name === "play") {
        wantPlaying = true;
        player.ruffle().resume();
    } else if (player && name === "stop") {
        wantPlaying = false;
        player.ruffle().suspend();
    }
    reportState();
}

