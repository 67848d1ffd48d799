// quorvel-batch COMMAND ...: Quorvel's jobs without the window (see batchProgram.h).
#include "batchProgram.h"
#include "interruption.h"

#include <iostream>

int main(int argc, char* argv[])
{
    const Interruption interruption;
    const int code =
        BatchProgram::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    Interruption::reraise();
    return code;
}
