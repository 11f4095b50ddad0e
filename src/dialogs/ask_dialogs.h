// The one-line text input ("INPUT") and the Yes/No/Cancel question ("QUERY").
#pragma once

namespace tarvo {

// The initial text of an input is cut to this many characters.
inline constexpr int kInitialInputChars = 299;

struct DialogSet;

// Asks for one line of text, offering `initial` (cut to 299 characters) and taking at most
// `maxLength` characters (at most what the shared text buffer holds; 0 or less for as many as
// it holds). Answers a new text from the heap that the caller releases (null when memory runs
// out): the typed text after OK, empty after Cancel; the set's last answer tells which. `mode`
// is kept with the dialog for its callers.
char* AskText(DialogSet& set, const char* prompt, const char* initial, int maxLength, int mode);
// As AskText, with the prompt formatted from `format` and its argument.
char* AskTextF(DialogSet& set, const char* initial, int maxLength, int mode, const char* format,
               ...) __attribute__((format(printf, 5, 6)));

// Asks `question`; answers 1 for Yes, 2 for No and 0 for Cancel or the close box. Without
// Cancel while the set says so.
int AskQuestion(DialogSet& set, const char* question);

} // namespace tarvo
