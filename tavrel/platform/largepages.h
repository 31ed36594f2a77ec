#pragma once

// Large blocks of memory (a book's text and its document) in the kernel's huge pages
// where it gives them on request: fresh memory then faults in once per 2 MB instead
// of once per 4 KB, which on some machines is most of the time a large file takes to
// open. The C library takes that choice only from the environment at start, so the
// program starts itself again with it, once; the environment its own children see
// is left as it was.
namespace LargePages {

// Returns at once when huge pages are already in use, not offered on request, or
// the program cannot be started again; otherwise does not return.
void startWithHugePages(char *argv[]);

} // namespace LargePages
