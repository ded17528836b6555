#pragma once

// Start-up and teardown of the window framework, in the order the program needs them: fonts,
// hint colour, the text stores (TMLCtrl32, TMl1, TMl4, TMl3, TMl2, TMl5), then the copies of the
// dialog titles and button captions taken from them. Needs the application object. Raises
// EZeltError when a text store cannot be read; nothing is left half made.
void ZeltUiInitialize();
// Frees the stores in reverse order and drops the pictures; safe to call when not initialised.
void ZeltUiFinalize();

// The same as a scope: initialises in the constructor, finalises in the destructor.
class ZeltUiSession {
public:
    ZeltUiSession();
    ~ZeltUiSession();
    ZeltUiSession(const ZeltUiSession&) = delete;
    ZeltUiSession& operator=(const ZeltUiSession&) = delete;
};
