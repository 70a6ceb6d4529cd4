// ectimer: times the minimum of an eclipsing binary's light curve.

#include <iostream>
#include <string>
#include <vector>

#include "timing/app/batch.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (umbrix::IsBatchRequest(args)) return umbrix::RunBatch(args, std::cout, std::cerr);
    std::cerr << umbrix::kBatchUsage;
    return umbrix::kBatchFailed;
}
