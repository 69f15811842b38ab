#pragma once

#include <string>

#include <windows.h>

class Exception;
class TForm;

class TApplication {
public:
    // COM as a single-threaded apartment on this thread (the data layer needs it), and the
    // common controls.
    void Initialize();
    void Finalize();

    // Shows the main form as the process was asked to (maximised, minimised without
    // activation, or normal), focuses its first control and runs the message loop until
    // the form is closed.
    void Run(TForm& mainForm, int showCommand);
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }

    // The default error report for the exception being handled: a silent abort is dropped,
    // our error type is shown in a stop box titled with the application title, and anything
    // else gets the last-chance box. Never throws; the program goes on.
    void HandleException() noexcept;
    void ShowException(const Exception& error);

    // While busy, the pointer is the hour-glass over every window's client area (their frames
    // stay as they are, so that the window can still be moved or closed).
    void SetBusy(bool busy);
    bool Busy() const { return busy_; }

    std::u16string Title() const;
    // The process command line; tests may replace it.
    const std::u16string& CommandLine() const { return commandLine_; }
    void SetCommandLine(std::u16string commandLine) { commandLine_ = std::move(commandLine); }

private:
    TForm* mainForm_ = nullptr;
    std::u16string commandLine_;
    bool comInitialized_ = false;
    bool busy_ = false;
};

extern TApplication Application;

// The last-chance report for the exception being handled: an ownerless, task-modal box
// captioned "Application Error" that names the error's type, module and raise address.
void ShowLastChanceReport() noexcept;
