// Counts the C heap of this process: every malloc, calloc, realloc and free goes through the
// counter, which keeps the bytes in use and their peak. The program's code allocates only
// through these; C++ operator new (the test harness and the host stand-in's registry) is
// served beside the counter, so that the registry's own storage does not show as the
// program's heap.
#ifndef DUNVATEL_BENCH_HEAP_COUNTER_H
#define DUNVATEL_BENCH_HEAP_COUNTER_H

// Starts a measurement: the peak is set to the bytes in use now.
void ResetHeapPeak();
// How far the bytes in use rose above their level at the last reset.
long long HeapPeakSinceReset();

#endif
