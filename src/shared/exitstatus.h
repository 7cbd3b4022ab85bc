#ifndef TRCHECK_EXITSTATUS_H
#define TRCHECK_EXITSTATUS_H

// The exit statuses of both programs: each means the same in both, and a program uses those of
// its outcomes.
enum ExitStatus {
    done = 0,
    usageError = 1,        // not the command line the program takes
    stringsUnreadable = 2, // the strings file cannot be opened, or reading it failed part way
    tableUnwritable = 3,   // trcheck's table cannot be opened or written whole
    outputUnwritable = 4,  // standard output (or trcoverage's page) cannot be written whole
    belowThreshold = 5,    // trcoverage: a language's share is below -fail-under
    noCatalog = 6,         // trcoverage: the catalog directory holds no catalog
    problemsFound = 7,     // trcoverage: a translation has a problem, with -fail-on-checks
};

#endif
