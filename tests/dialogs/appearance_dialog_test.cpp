// The "Appearance Options" dialog.
