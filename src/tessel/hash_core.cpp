#include "tessel/hash_core.h"

namespace Tessel {

namespace {

constexpr int32_t kTablePrimes[] = {
    3,       7,       11,      17,      23,      29,      37,      47,      59,
    71,      89,      107,     131,     163,     197,     239,     293,     353,
    431,     521,     631,     761,     919,     1103,    1327,    1597,    1931,
    2333,    2801,    3371,    4049,    4861,    5839,    7013,    8419,    10103,
    12143,   14591,   17519,   21023,   25229,   30293,   36353,   43627,   52361,
    62851,   75431,   90523,   108631,  130363,  156437,  187751,  225307,  270371,
    324449,  389357,  467237,  560689,  672827,  807403,  968897,  1162687, 1395263,
    1674319, 2009191, 2411033, 2893249, 3471899, 4166287, 4999559, 5999471, 7199369};
static_assert(sizeof(kTablePrimes) / sizeof(kTablePrimes[0]) == 72);

bool IsOddPrime(int64_t candidate) {
    if (candidate % 3 == 0) {
        return false;
    }
    for (int64_t divisor = 5; divisor * divisor <= candidate; divisor += 2) {
        if (candidate % divisor == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

int32_t NextTablePrime(int64_t atLeast) {
    for (int32_t prime : kTablePrimes) {
        if (prime >= atLeast) {
            return prime;
        }
    }
    for (int64_t candidate = atLeast | 1; candidate < 0x7FFFFFFF; candidate += 2) {
        if (IsOddPrime(candidate)) {
            return static_cast<int32_t>(candidate);
        }
    }
    return 0;
}

}  // namespace Tessel
