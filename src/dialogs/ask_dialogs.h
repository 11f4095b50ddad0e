// The one-line text input ("INPUT") and the Yes/No/Cancel question ("QUERY").
#pragma once

namespace tarvo {

// The initial text of an input is cut to this many characters.
inline constexpr int kInitialInputChars = 299;

// Program-wide values of the input and question dialogs.
struct AskState {
    // The answer of the last input (1 OK, 0 Cancel) or question (1 Yes, 2 No, 0 Cancel).
    int DialogAnswer = 0;
    // While set, questions are asked without a Cancel button.
    bool NoCancelQuestion = false;
};

AskState& askState();

// Asks for one line of text, offering `initial` (cut to 299 characters) and taking at most
// `maxLength` characters (at most what the shared text buffer holds; 0 or less for as many as
// it holds). Answers a new text from the heap that the caller releases (null when memory runs
// out): the typed text after OK, empty after Cancel. `mode` is kept with the dialog for its
// callers.
char* AskText(const char* prompt, const char* initial, int maxLength, int mode);
// As AskText, with the prompt formatted from `format` and its argument.
char* AskTextF(const char* initial, int maxLength, int mode, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Asks `question`; answers 1 for Yes, 2 for No and 0 for Cancel or the close box.
int AskQuestion(const char* question);

} // namespace tarvo
