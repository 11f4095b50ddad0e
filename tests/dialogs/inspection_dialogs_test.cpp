// The inheritance report and link inspection windows.
