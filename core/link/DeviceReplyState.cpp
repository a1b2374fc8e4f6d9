#include "core/link/DeviceReplyState.h"

namespace NsZ9m
{

DeviceReplyState deviceReplyState;

void resetDeviceReplyState()
{
    auto& r = deviceReplyState;
    r.queryReply = DeviceReplyState::none;
    r.confirmAck = DeviceReplyState::none;
    r.imageChunkAck = DeviceReplyState::none;
    r.labelChunkAck = DeviceReplyState::none;
    r.replyStatus = DeviceReplyState::none;
}

void clearDeviceReplyState()
{
    auto& r = deviceReplyState;
    r.queryReply = 0;
    r.confirmAck = 0;
    r.imageChunkAck = 0;
    r.labelChunkAck = 0;
    r.replyStatus = 0;
    r.slotSelectPending = false;
    r.selectedSlotNumber = 0;
    r.slotStatePending = false;
    r.reportedSlotNumber = 1;

    for (auto& d : r.slotHasDaw)
        d = false;
}

} // namespace NsZ9m
