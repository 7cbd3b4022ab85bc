#ifndef TRCHECK_RUNFILES_H
#define TRCHECK_RUNFILES_H

#include <QFile>

#include <sys/stat.h>

// What every program does the same way with the files of a run: the strings file it reads and
// standard output, and what it says on standard error when either fails.

// Opens the strings file by the argument's own bytes, since a file name need not be valid
// UTF-8. A directory opens but reads nothing, so it counts as unreadable. status receives what
// the file is, to tell it apart from the files the program writes.
bool openStrings(QFile &file, const char *path, struct stat &status);

// Opens a file the program writes (trcheck's table, trcoverage's page) by the path's own bytes,
// and empties it, unless it is a file the run must not write: the strings file, which would be
// destroyed before a line is read, or the file standard output or standard error goes to,
// which would mix the output or the platform's notices into it; a character device (/dev/null)
// is none of these. Nothing is emptied before those are ruled out. A FIFO without a reader
// would block the open: it fails instead.
// strings: what openStrings() found the strings file to be.
bool openOutput(QFile &file, const char *path, const struct stat &strings);

// Whether everything written to a file openOutput() opened has reached it; closes it.
bool finishOutput(QFile &file);

// Whether the strings file was read to its end without an I/O error; closes it.
bool finishStrings(QFile &file);

// Opens standard output for writing through a Writer, whatever it is (a terminal, a pipe, a
// file). Returns whether it is a terminal, which wants each line as it ends.
bool openStandardOutput(QFile &file);

// The messages, with the path exactly as typed: the strings file cannot be opened (or is a
// directory), reading it failed part way, a written file cannot be opened or was not written
// whole, standard output could not be written.
void sayCannotOpen(const char *path);
void sayCannotRead(const char *path);
void sayCannotOpenForWrite(const char *path);
void sayCannotWrite(const char *path);
void sayCannotWriteOutput();

#endif
