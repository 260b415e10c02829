#pragma once

// Heap blocks from operator new not yet deleted, in this test executable. Linking this
// replaces the global operator new and delete, so a test can see that what it handed
// over was freed exactly once.
long LiveAllocations();
