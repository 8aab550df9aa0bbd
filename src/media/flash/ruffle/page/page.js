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

// Ruffle's sound runs a web audio context, which costs processor time even in silence: the
// page keeps them, to pause them while its movie stands still.
let audioContexts = [];
(() => {
    const Original = window.AudioContext;
    if (!Original) return;
    window.AudioContext = class extends Original {
        constructor(...args) {
            super(...args);
            audioContexts.push(this);
        }
    };
})();

function pauseSound(paused) {
    audioContexts = audioContexts.filter((context) => context.state !== "closed");
    for (const context of audioContexts) {
        (paused ? context.suspend() : context.resume()).catch(() => {});
    }
}

// Ruffle asks for every screen frame, playing or not. A stopped movie draws nothing new: once its
// last frame is on screen, the page keeps Ruffle's requests until the movie plays again.
let holdingFrames = false;
let heldFrames = [];
const requestFrame = window.requestAnimationFrame.bind(window);
window.requestAnimationFrame = (callback) => {
    if (!holdingFrames) return requestFrame(callback);
    heldFrames.push(callback);
    return 0;
};

function holdFrames(hold) {
    if (hold) {
        requestFrame(() => requestFrame(() => {
            if (!wantPlaying) holdingFrames = true;
        }));
        return;
    }
    holdingFrames = false;
    const held = heldFrames;
    heldFrames = [];
    for (const callback of held) requestFrame(callback);
}

function standStill(still) {
    pauseSound(still);
    holdFrames(still);
}

let bridge = null;
let player = null;
let wantPlaying = true;

function reportState() {
    if (!player) return;
    const ruffle = player.ruffle();
    bridge.readyState(ruffle.readyState, ruffle.isPlaying);
}

// One movie of a single empty frame, one pixel square: what a spare page warms Ruffle up with.
const tinyMovie = new Uint8Array([
    0x46, 0x57, 0x53, 0x08, 0x1f, 0x00, 0x00, 0x00, 0x30, 0x0a, 0x00, 0xa0, 0x00, 0x0c, 0x01, 0x00,
    0x44, 0x11, 0x00, 0x00, 0x00, 0x00, 0x43, 0x02, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00]);

function configure() {
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
}

// Ruffle compiles its code for the first player of a page. A page kept spare does that with a
// hidden movie of its own, so that a movie shown in it later starts at once.
function warm() {
    configure();
    const spare = window.RufflePlayer.newest().createPlayer();
    spare.style.width = "1px";
    spare.style.height = "1px";
    spare.style.visibility = "hidden";
    document.body.appendChild(spare);
    let done = false;
    const finish = () => {
        if (done) return;
        done = true;
        spare.remove();
        // A movie may have come while the page warmed up: its sound goes on.
        if (!player) pauseSound(true);
        bridge.warmed();
    };
    spare.addEventListener("loadeddata", finish, {once: true});
    spare.ruffle().load({data: tinyMovie}).catch(finish);
}

function unload() {
    if (player) player.remove();
    player = null;
    // What a removed player asked for goes with it.
    holdingFrames = false;
    heldFrames = [];
    pauseSound(true);
}

function load(config) {
    unload();
    configure();
    player = window.RufflePlayer.newest().createPlayer();
    player.style.width = "100%";
    player.style.height = "100%";
    document.getElementById("movie").appendChild(player);
    if (player.shadowRoot) {
        // A stopped Flash movie just stands still: no play button over it, and no notice about
        // the graphics card when the pointer comes over a movie drawn without one.
        const style = document.createElement("style");
        style.textContent = "#play-button, #hardware-acceleration-modal { display: none !important; }";
        player.shadowRoot.appendChild(style);
        // Ruffle shows its own error screen when it gives up on a movie: the object shows its
        // placeholder instead.
        const shadow = player.shadowRoot;
        const watcher = new MutationObserver(() => {
            const panic = shadow.querySelector("#panic");
            if (!panic) return;
            watcher.disconnect();
            const title = shadow.querySelector("#panic-title");
            bridge.failed("Ruffle stopped: " + (title ? title.textContent : "the movie failed"));
        });
        watcher.observe(shadow, {childList: true, subtree: true});
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
        if (!wantPlaying) {
            player.ruffle().suspend();
            standStill(true);
        }
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
    } else if (name === "warm") {
        warm();
    } else if (name === "unload") {
        unload();
    } else if (player && name === "play") {
        wantPlaying = true;
        standStill(false);
        player.ruffle().resume();
    } else if (player && name === "stop") {
        wantPlaying = false;
        player.ruffle().suspend();
        standStill(true);
    }
    reportState();
}

