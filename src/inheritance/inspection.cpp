// What the inheritance report and link inspection windows show, apart from their windows.
