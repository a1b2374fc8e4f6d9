// The Host's MIDI input handler with whatever bytes a port may deliver, split
// into messages as the framework splits a port's byte stream.
#include "fuzz/FuzzSupport.h"
#include "core/sync/SurfaceMessages.h"
#include "core/sync/MidiInputHandler.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace NsZ9m;

    Host::MidiInputHandler handler;
    juce::uint8 lastStatus = 0;

    while (size > 0)
    {
        int used = 0;
        juce::MidiMessage message (data, (int) size, used, lastStatus, 0.0, false);

        if (used <= 0)
            used = 1;   // a data byte with no status to run on: skipped

        if (message.getRawDataSize() > 0)
        {
            lastStatus = message.getRawData()[0];
            handler.handleIncomingMidiMessage (nullptr, message);
        }

        data += used;
        size -= (size_t) used;
    }

    auto& r = deviceReplyState;
    volatile int sink = r.queryReply.load() + r.confirmAck.load() + r.imageChunkAck.load() + r.labelChunkAck.load()
                      + r.replyStatus.load() + r.selectedSlotNumber.load() + r.reportedSlotNumber.load();
    (void) sink;
    return 0;
}
