-- Prints mpv's picture counts as the file is unloaded, for the benchmark beside the player.
mp.add_hook("on_unload", 50, function()
    print(string.format("mpv pictures %s, dropped by the output %s, dropped by the decoder %s",
        mp.get_property("estimated-frame-number", "?"), mp.get_property("frame-drop-count", "?"),
        mp.get_property("decoder-frame-drop-count", "?")))
end)
