#pragma once

#include <cstddef>
#include <future>
#include <vector>

namespace zomi::dbaccess {

// Lists of rows from twice this long are worked through on both cores.
constexpr size_t kRowsPerThread = 100000;

// Runs job(begin, end) over [0, count): in one go when the count is small,
// otherwise [0, count / 2) on a thread of its own and [count / 2, count)
// here. The answers, one per part, in order.
template <typename Job>
auto InHalves(size_t count, const Job& job) {
    using Answer = decltype(job(size_t{0}, count));
    std::vector<Answer> answers;
    if (count < kRowsPerThread * 2) {
        answers.push_back(job(0, count));
        return answers;
    }
    const size_t middle = count / 2;
    std::future<Answer> first = std::async(std::launch::async, [&] { return job(0, middle); });
    Answer second = job(middle, count);
    answers.push_back(first.get());
    answers.push_back(std::move(second));
    return answers;
}

}  // namespace zomi::dbaccess
