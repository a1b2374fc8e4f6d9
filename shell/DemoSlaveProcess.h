#pragma once

#include "shell/ShellIncludes.h"

/**
    The program as the child process of another program that drives it
    through the framework's child-process connection: it greets its master
    with a "HelloWorld" value tree, answers every message with a "REPLY" tree
    whose "countPlusOne" is the message's "count" plus one, and quits when the
    connection is lost.

    Exists only in child-process mode; the framework deletes it at shutdown.
    The handlers run on the connection's own thread and touch no shared state.
*/
class DemoSlaveProcess final : public juce::ChildProcessWorker,
                               private juce::DeletedAtShutdown
{
public:
    DemoSlaveProcess() = default;

    void handleMessageFromCoordinator (const juce::MemoryBlock&) override;
    void handleConnectionMade() override;
    void handleConnectionLost() override;

    /** The reply to a request: "REPLY" with "countPlusOne" = "count" + 1; a
        request without a numeric "count" (or not a value tree at all) counts
        as 0. Any thread. */
    static juce::ValueTree createReply (const juce::ValueTree& request);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoSlaveProcess)
};

/** The id from which the framework builds the connection's command-line token. */
constexpr const char* childProcessId = "demoUID";

/** True when the command line asks for child-process mode (it starts with the
    connection's token). */
bool hasChildProcessToken (const juce::String& commandLine);

/** Turns the process into a child-process slave when the command line asks for
    it and the connection to the master is made: true then (the slave lives on
    until shutdown), false otherwise. Message thread. */
bool startChildProcessIfRequested (const juce::String& commandLine);
