// Signals that ask the program to end (SIGTERM at logout and shutdown, SIGHUP when
// its terminal goes, SIGINT from Ctrl+C) held while a save is under way, so that
// they never leave a file half written: while held they are only noted, and once
// the last hold ends each noted one acts as it would have (by default it ends
// the program; an ignored one stays ignored).
#pragma once

class HeldSignals {
public:
    // Holds them from now on, in every thread of the process; holds may overlap.
    HeldSignals();
    // The last hold to end gives back what they did before and raises those noted.
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;
};
