#pragma once
#include <cstddef>
#include <functional>

// Runs read(i) for every i in [0, count), split in contiguous ranges over up
// to `threads` threads (the calling one among them); returns when all are
// done and then rethrows the first exception any of them threw. The reads
// must touch nothing but their own index's data.
void ReadInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& read);
