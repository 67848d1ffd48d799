// quorvel-batch COMMAND ...: Quorvel's jobs without the window (see batchProgram.h).
#include "batchProgram.h"
#include "interruption.h"

#include <iostream>

int main(int argc, char* argv[])
{
    int code = 0;
    {
        const Interruption interruption;
        code = BatchProgram::run(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                 std::cerr);
    }
    Interruption::reraise();
    return code;
}
