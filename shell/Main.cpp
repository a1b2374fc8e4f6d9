#include "shell/DemoRunnerApplication.h"

// The program's entry: the framework runs the application that
// createApplication makes and returns its result. The command line reaches
// the application through argv (a child-process token among it).
int main (int argc, char* argv[])
{
    juce::JUCEApplicationBase::createInstance = &createApplication;
    return juce::JUCEApplicationBase::main (argc, (const char**) argv);
}
