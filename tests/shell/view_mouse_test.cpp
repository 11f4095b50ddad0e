// The mouse in a view window.
