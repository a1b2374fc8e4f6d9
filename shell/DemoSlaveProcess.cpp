#include "shell/DemoSlaveProcess.h"
#include "core/files/ValueTreeMessage.h"

using NsZ9m::valueTreeFromMemoryBlock;
using NsZ9m::valueTreeToMemoryBlock;

//==============================================================================
juce::ValueTree DemoSlaveProcess::createReply (const juce::ValueTree& request)
{
    juce::int64 count = 0;

    if (request.isValid())
    {
        const auto& value = request.getProperty ("count");

        if (value.isInt() || value.isInt64() || value.isDouble())
            count = (juce::int64) value;
    }

    juce::ValueTree reply ("REPLY");
    const auto countPlusOne = count < std::numeric_limits<juce::int64>::max() ? count + 1 : count;

    if (countPlusOne >= std::numeric_limits<int>::min() && countPlusOne <= std::numeric_limits<int>::max())
        reply.setProperty ("countPlusOne", (int) countPlusOne, nullptr);
    else
        reply.setProperty ("countPlusOne", countPlusOne, nullptr);

    return reply;
}

void DemoSlaveProcess::handleMessageFromCoordinator (const juce::MemoryBlock& message)
{
    sendMessageToCoordinator (valueTreeToMemoryBlock (createReply (valueTreeFromMemoryBlock (message))));
}

void DemoSlaveProcess::handleConnectionMade()
{
    sendMessageToCoordinator (valueTreeToMemoryBlock (juce::ValueTree ("HelloWorld")));
}

void DemoSlaveProcess::handleConnectionLost()
{
    juce::JUCEApplicationBase::quit();
}

//==============================================================================
bool hasChildProcessToken (const juce::String& commandLine)
{
    return commandLine.trim().startsWith ("--" + juce::String (childProcessId) + ":");
}

bool startChildProcessIfRequested (const juce::String& commandLine)
{
    auto slave = std::make_unique<DemoSlaveProcess>();

    if (! slave->initialiseFromCommandLine (commandLine, childProcessId))
        return false;

    slave.release();   // deleted at shutdown, as a DeletedAtShutdown
    return true;
}
