#include "store/parallel_reads.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

void ReadInParallel(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& read) {
    const std::size_t parts = std::max<std::size_t>(1, std::min<std::size_t>(threads, count));
    std::vector<std::exception_ptr> failures(parts);
    const auto run = [&](std::size_t part) {
        try {
            for (std::size_t i = count * part / parts; i < count * (part + 1) / parts; ++i) read(i);
        } catch (...) {
            failures[part] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    helpers.reserve(parts - 1);
    try {
        for (std::size_t part = 1; part < parts; ++part) helpers.emplace_back(run, part);
    } catch (const std::system_error&) {
        // No thread to be had: the parts not started run here.
        for (std::size_t part = helpers.size() + 1; part < parts; ++part) run(part);
    }
    run(0);
    for (std::thread& helper : helpers) helper.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}
