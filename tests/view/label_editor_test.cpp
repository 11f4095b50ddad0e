// The label editor.
