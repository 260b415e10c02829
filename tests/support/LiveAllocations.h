#pragma once

// Heap blocks from operator new not yet deleted, in this test executable. Linking this
// replaces the global operator new and delete, so a test can see that what it handed
// over was freed exactly once.
long LiveAllocations();

// While on, operator new throws std::bad_alloc on every thread but the one that turned it
// on: memory running out under a worker thread.
void FailAllocationsOnOtherThreads(bool on);
