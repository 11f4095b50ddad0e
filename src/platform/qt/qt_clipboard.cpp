// The clipboard of the window system.
