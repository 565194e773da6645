#pragma once
// The GUI thread's guard against re-entry. While a long action holds the gate (a pumping
// wait for an engine thread, a scan), events keep being handled; anything that must not
// run inside it (a second wait, a page change, closing the window) asks first and is
// refused. GUI thread only.

class BusyScope {
public:
    // Takes the gate when it is free; entered() tells whether it did.
    BusyScope();
    // Gives the gate back when this scope took it.
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    bool entered() const { return entered_; }

    // Whether some scope holds the gate now.
    static bool held();

private:
    bool entered_;
};
