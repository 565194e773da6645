#pragma once
// Ending the program at once from its start-up (before the message loop runs), with the
// units still shut down in order: the halt unwinds to ProgramMain, which returns its code.
// Inside the message loop, end the program with QCoreApplication::exit instead; Qt's
// event dispatch must not be unwound by an exception.

class ProgramHalt {
public:
    explicit ProgramHalt(int exitCode) : exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }

private:
    int exitCode_;
};
