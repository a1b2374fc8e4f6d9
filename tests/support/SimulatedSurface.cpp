#include "tests/support/SimulatedSurface.h"

namespace z9test
{

namespace
{
    constexpr int imageBytes = 2016, imageChunkBytes = 224, numImageChunks = 9;
    constexpr int labelLength = 17, labelsPerChunk = 10, numLabelChunks = 8, numLabels = 80;
    constexpr int statusNote = 0x30;

    bool isXFamily (int p)   { return p == 2056 || (p >= 2067 && p <= 2072); }

    // One received message, as the unit reads it.
    struct Parsed
    {
        enum Kind { filler, select, state, greeting, query, confirm, image, labels, enter, unexpected };

        Kind kind = unexpected;
        int value = 0;        // short messages
        int slotIndex = 0;    // chunks
        int chunk = 0;
        int daw = 0;
        int triplets[3] {};   // query and confirmation
        const juce::uint8* payload = nullptr;
    };

    Parsed parse (const juce::MidiMessage& m, int productId)
    {
        Parsed p;
        auto* b = m.getRawData();
        const int size = m.getRawDataSize();

        if (size == 3)
        {
            if (b[0] == 0xEF && b[1] == 0x7F && b[2] == 0x7F)   p.kind = Parsed::filler;
            else if (b[0] == 0xEC && b[1] == 0x22)              p.kind = Parsed::select;
            else if (b[0] == 0xEC && b[1] == 0x23)              p.kind = Parsed::state;
            else if (b[0] == 0xEC && b[1] == 0x2A)              p.kind = Parsed::greeting;

            p.value = b[2];
            return p;
        }

        if (size < 9 || b[0] != 0xF0 || b[1] != 0x1D || b[2] != 0x03 || b[size - 1] != 0xF7)
            return p;

        // The enter-upgrade-mode message of the unit's model (its long form).
        if (size == 9 && b[3] < 0x80 && b[4] < 0x80 && b[5] == 0x00 && b[6] == 0x7F && b[7] == 0x7F)
        {
            if (b[3] * 128 + b[4] == (isXFamily (productId) ? 2056 : 2055))
                p.kind = Parsed::enter;

            return p;
        }

        for (int i = 1; i < 9; ++i)
            if (b[i] >= 0x80)
                return p;   // a header byte out of 7 bits

        const int code = b[3] * 128 + b[4];
        const int command = b[5];
        const int unitCode = isXFamily (productId) ? 2056 : 2055;

        if (command == 0x21 || command == 0x24)
        {
            if (size != 16 || code != unitCode)
                return p;

            for (int s = 0; s < 3; ++s)
            {
                auto* t = b + 6 + 3 * s;

                if (t[0] >= 0x80 || t[1] >= 0x80 || t[2] >= 0x80)
                    return p;

                p.triplets[s] = (t[0] << 16) | (t[1] << 8) | t[2];
            }

            p.kind = command == 0x21 ? Parsed::query : Parsed::confirm;
            return p;
        }

        p.slotIndex = b[6] >> 5;
        p.daw = b[6] & 0x1F;
        p.chunk = b[7];
        p.payload = b + 9;

        if (p.slotIndex > 2)
            return p;

        if (command == 0x25 && size == 9 + imageChunkBytes + 1 && code == unitCode && b[8] == 28
             && p.chunk >= 1 && p.chunk <= numImageChunks)
            p.kind = Parsed::image;
        else if (command == 0x26 && size == 9 + labelsPerChunk * labelLength + 1 && code == 2055
                  && ! isXFamily (productId) && b[8] == labelsPerChunk && p.chunk >= 1 && p.chunk <= numLabelChunks)
            p.kind = Parsed::labels;

        return p;
    }

    juce::String hexBytes (const juce::MidiMessage& m)
    {
        const int shown = juce::jmin (m.getRawDataSize(), 12);
        auto text = juce::String::toHexString (m.getRawData(), shown, 1).toUpperCase();
        return m.getRawDataSize() > shown ? text + " ... (" + juce::String (m.getRawDataSize()) + " bytes)" : text;
    }

    juce::String hexValue (int v)   { return "0x" + juce::String::toHexString (v).toUpperCase().paddedLeft ('0', 2); }
}

//==============================================================================
SimulatedSurface::SimulatedSurface (InMemoryMidiPorts& p, int product, int numPairs, bool plugInNow,
                                    const juce::String& name)
    : ports (p), productId (product), numPortPairs (juce::jmax (1, numPairs)),
      deviceName (name.isNotEmpty() ? name : deviceNameFor (product))
{
    for (auto& image : images)
        image.setSize ((size_t) imageBytes, true);

    for (auto& list : labels)
        for (int i = 0; i < numLabels; ++i)
            list.add ({});

    ports.addOutputListener (this);

    if (plugInNow)
        plugIn();
}

SimulatedSurface::~SimulatedSurface()
{
    ports.removeOutputListener (this);
    unplug();
}

juce::String SimulatedSurface::deviceNameFor (int product)
{
    switch (product)
    {
        case 2055: return "Z9-M";
        case 2056: return "Z9-X1";
        case 2054: return "Z9-Mini";
        default:   break;
    }

    if (product >= 2067 && product <= 2072)
        return "Z9-X" + juce::String (product - 2065);

    return "Unknown";
}

juce::String SimulatedSurface::outputPortName (const juce::String& device, int n)
{
    return n == 1 ? device : "MIDIOUT" + juce::String (n) + " (" + device + ")";
}

juce::String SimulatedSurface::inputPortName (const juce::String& device, int n)
{
    return n == 1 ? device : "MIDIIN" + juce::String (n) + " (" + device + ")";
}

int SimulatedSurface::modelCodeFor (int product)   { return isXFamily (product) ? 2056 : 2055; }

juce::String SimulatedSurface::getOutputName (int n) const   { return outputPortName (deviceName, n); }
juce::String SimulatedSurface::getInputName (int n) const    { return inputPortName (deviceName, n); }

//==============================================================================
void SimulatedSurface::plugIn()
{
    const juce::ScopedLock sl (lock);

    if (pluggedIn)
        return;

    pluggedIn = true;

    for (int n = 1; n <= numPortPairs; ++n)
    {
        ports.addOutput (getOutputName (n));
        ports.addInput (getInputName (n));
    }
}

void SimulatedSurface::unplug()
{
    const juce::ScopedLock sl (lock);

    if (! pluggedIn)
        return;

    pluggedIn = false;

    for (int n = 1; n <= numPortPairs; ++n)
    {
        ports.removeOutput (getOutputName (n));
        ports.removeInput (getInputName (n));
    }
}

bool SimulatedSurface::isPluggedIn() const
{
    const juce::ScopedLock sl (lock);
    return pluggedIn;
}

//==============================================================================
int SimulatedSurface::getConfirmedFingerprint (int slotIndex) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (slotIndex, 3) ? confirmed[slotIndex] : -1;
}

void SimulatedSurface::setConfirmedFingerprints (int slot0, int slot1, int slot2)
{
    const juce::ScopedLock sl (lock);
    const int values[] = { slot0, slot1, slot2 };

    for (int s = 0; s < 3; ++s)
        confirmed[s] = values[s] == -1 ? -1 : (values[s] & 0x7F7F7F);
}

void SimulatedSurface::setQueryAnswer (int mask)
{
    const juce::ScopedLock sl (lock);
    forcedQueryMask = mask < 0 ? -1 : (mask & 0x7F);
}

juce::MemoryBlock SimulatedSurface::getImage (int slotIndex) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (slotIndex, 3) ? images[(size_t) slotIndex] : juce::MemoryBlock();
}

bool SimulatedSurface::hasImageChunk (int slotIndex, int chunkNumber) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (slotIndex, 3) && juce::isPositiveAndNotGreaterThan (chunkNumber, numImageChunks)
            && imageChunks[(size_t) slotIndex][(size_t) chunkNumber];
}

bool SimulatedSurface::hasLabelChunk (int slotIndex, int chunkNumber) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (slotIndex, 3) && juce::isPositiveAndNotGreaterThan (chunkNumber, numLabelChunks)
            && labelChunks[(size_t) slotIndex][(size_t) chunkNumber];
}

int SimulatedSurface::getImageDawId (int slotIndex) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (slotIndex, 3) ? imageDaws[(size_t) slotIndex] : 0;
}

juce::StringArray SimulatedSurface::getLabels (int slotIndex) const
{
    const juce::ScopedLock sl (lock);
    return juce::isPositiveAndBelow (slotIndex, 3) ? labels[(size_t) slotIndex] : juce::StringArray();
}

//==============================================================================
std::vector<SimulatedSurface::Message> SimulatedSurface::getReceived() const
{
    const juce::ScopedLock sl (lock);
    return received;
}

std::vector<juce::MidiMessage> SimulatedSurface::getReceivedOn (int portNumber) const
{
    const juce::ScopedLock sl (lock);
    std::vector<juce::MidiMessage> result;

    for (auto& m : received)
        if (m.port == portNumber)
            result.push_back (m.message);

    return result;
}

juce::StringArray SimulatedSurface::getConversation (int portNumber) const
{
    juce::StringArray result;

    for (auto& m : getReceivedOn (portNumber))
        result.add (describe (m));

    return result;
}

juce::StringArray SimulatedSurface::getConversationOnAllPorts() const
{
    juce::StringArray result;

    for (auto& m : getReceived())
        result.add (juce::String (m.port) + ": " + describe (m.message));

    return result;
}

std::vector<int> SimulatedSurface::getSlotSelects() const   { const juce::ScopedLock sl (lock); return slotSelects; }
std::vector<int> SimulatedSurface::getSlotStates() const    { const juce::ScopedLock sl (lock); return slotStates; }
std::vector<int> SimulatedSurface::getGreetings() const     { const juce::ScopedLock sl (lock); return greetings; }
int SimulatedSurface::getNumFillers() const                 { const juce::ScopedLock sl (lock); return fillers; }
juce::StringArray SimulatedSurface::getUnexpected() const   { const juce::ScopedLock sl (lock); return unexpected; }
std::vector<SimulatedSurface::Message> SimulatedSurface::getSent() const   { const juce::ScopedLock sl (lock); return sent; }

void SimulatedSurface::clearRecords()
{
    const juce::ScopedLock sl (lock);
    received.clear();
    sent.clear();
    slotSelects.clear();
    slotStates.clear();
    greetings.clear();
    fillers = 0;
    unexpected.clear();
}

juce::String SimulatedSurface::describe (const juce::MidiMessage& message) const
{
    const auto p = parse (message, productId);

    switch (p.kind)
    {
        case Parsed::filler:     return "filler";
        case Parsed::select:     return "select " + hexValue (p.value);
        case Parsed::state:      return "state " + hexValue (p.value);
        case Parsed::greeting:   return "greeting " + hexValue (p.value);
        case Parsed::query:      return "query";
        case Parsed::confirm:    return "confirm";
        case Parsed::image:      return "image " + juce::String (p.slotIndex + 1) + "." + juce::String (p.chunk);
        case Parsed::labels:     return "labels " + juce::String (p.slotIndex + 1) + "." + juce::String (p.chunk);
        case Parsed::enter:      return "enter";
        case Parsed::unexpected: break;
    }

    return "unexpected " + hexBytes (message);
}

//==============================================================================
void SimulatedSurface::reportSlotSelect (int slotIndex, int dawId, int portNumber)
{
    sendToProgram (juce::MidiMessage (0xEC, 0x22, ((slotIndex << 5) | dawId) & 0x7F), portNumber);
}

void SimulatedSurface::reportSlotState (int slotIndex, int dawId, int portNumber)
{
    sendToProgram (juce::MidiMessage (0xEC, 0x23, ((slotIndex << 5) | dawId) & 0x7F), portNumber);
}

void SimulatedSurface::sendToProgram (const juce::MidiMessage& message, int portNumber, int delayMs)
{
    {
        const juce::ScopedLock sl (lock);
        sent.push_back ({ portNumber, message });
    }

    ports.sendToProgram (getInputName (portNumber), message, delayMs);
}

//==============================================================================
void SimulatedSurface::setSilent (bool s)          { const juce::ScopedLock sl (lock); silent = s; }
void SimulatedSurface::setReplyDelayMs (int ms)    { const juce::ScopedLock sl (lock); replyDelayMs = juce::jmax (0, ms); }
void SimulatedSurface::setReplyPort (int n)        { const juce::ScopedLock sl (lock); replyPort = n; }
void SimulatedSurface::unplugAfterMessages (int n) { const juce::ScopedLock sl (lock); unplugCountdown = juce::jmax (0, n); }

void SimulatedSurface::setAnswer (int command, Answer how, int slotNumber, int chunkNumber)
{
    const juce::ScopedLock sl (lock);
    answers[std::make_tuple (command, slotNumber, chunkNumber)] = how;
}

void SimulatedSurface::clearFaults()
{
    const juce::ScopedLock sl (lock);
    silent = false;
    answers.clear();
    replyDelayMs = 0;
    replyPort = 0;
    unplugCountdown = 0;
    forcedQueryMask = -1;
}

SimulatedSurface::Answer SimulatedSurface::answerFor (int command, int slotNumber, int chunkNumber) const
{
    for (auto key : { std::make_tuple (command, slotNumber, chunkNumber), std::make_tuple (command, slotNumber, 0),
                      std::make_tuple (command, 0, chunkNumber), std::make_tuple (command, 0, 0) })
    {
        auto it = answers.find (key);

        if (it != answers.end())
            return it->second;
    }

    return Answer::normal;
}

//==============================================================================
int SimulatedSurface::portNumberOfOutput (const juce::String& outputName) const
{
    for (int n = 1; n <= numPortPairs; ++n)
        if (getOutputName (n) == outputName)
            return n;

    return 0;
}

void SimulatedSurface::messageSentToOutput (const juce::String& outputName, const juce::MidiMessage& message)
{
    const int port = portNumberOfOutput (outputName);

    if (port != 0 && isPluggedIn())
        handle (port, message);
}

void SimulatedSurface::handle (int port, const juce::MidiMessage& message)
{
    struct Reply { int command; Answer how; int value; };
    std::vector<Reply> replies;
    bool unplugNow = false;
    enum class Enter { none, now, refuse } enterReply = Enter::none;

    {
        const juce::ScopedLock sl (lock);
        received.push_back ({ port, message });

        if (unplugCountdown > 0 && --unplugCountdown == 0)
        {
            unplugNow = true;
        }
        else
        {
            const auto p = parse (message, productId);

            switch (p.kind)
            {
                case Parsed::filler:    ++fillers; break;
                case Parsed::select:    slotSelects.push_back (p.value); break;
                case Parsed::state:     slotStates.push_back (p.value); break;
                case Parsed::greeting:  greetings.push_back (p.value); break;

                case Parsed::query:
                {
                    int mask = 0;

                    for (int s = 0; s < 3; ++s)
                        if (confirmed[s] != -1 && confirmed[s] == p.triplets[s])
                            mask |= 1 << (2 - s);

                    auto how = answerFor (0x21, 0, 0);
                    replies.push_back ({ 0x21, how == Answer::refuse ? Answer::normal : how,
                                         forcedQueryMask >= 0 ? forcedQueryMask : mask });
                    break;
                }

                case Parsed::confirm:
                {
                    auto how = answerFor (0x24, 0, 0);

                    if (how != Answer::refuse)
                        for (int s = 0; s < 3; ++s)
                            confirmed[s] = p.triplets[s];

                    replies.push_back ({ 0x24, how, 1 });
                    break;
                }

                case Parsed::image:
                {
                    auto how = answerFor (0x25, p.slotIndex + 1, p.chunk);

                    if (how != Answer::refuse)
                    {
                        images[(size_t) p.slotIndex].copyFrom (p.payload, (p.chunk - 1) * imageChunkBytes, (size_t) imageChunkBytes);
                        imageChunks[(size_t) p.slotIndex][(size_t) p.chunk] = true;
                        imageDaws[(size_t) p.slotIndex] = p.daw;
                    }

                    replies.push_back ({ 0x25, how, 1 });
                    break;
                }

                case Parsed::labels:
                {
                    auto how = answerFor (0x26, p.slotIndex + 1, p.chunk);

                    if (how != Answer::refuse)
                    {
                        for (int i = 0; i < labelsPerChunk; ++i)
                            labels[(size_t) p.slotIndex].set ((p.chunk - 1) * labelsPerChunk + i,
                                                              juce::String::fromUTF8 ((const char*) p.payload + i * labelLength, labelLength));

                        labelChunks[(size_t) p.slotIndex][(size_t) p.chunk] = true;
                    }

                    replies.push_back ({ 0x26, how, 1 });
                    break;
                }

                case Parsed::enter:
                    ++enterMessages;
                    portNumberOfLastEnter = port;

                    if (! silent)
                    {
                        if (enterAnswer == EnterAnswer::refuse)
                            enterReply = Enter::refuse;
                        else if (enterAnswer == EnterAnswer::accept && enterDelayMs <= 0)
                            enterReply = Enter::now;
                        else if (enterAnswer == EnterAnswer::accept && enterDueMs == 0)
                            enterDueMs = juce::Time::getMillisecondCounterHiRes() + enterDelayMs;
                    }
                    break;

                case Parsed::unexpected:
                    unexpected.add ("port " + juce::String (port) + ": " + hexBytes (message));
                    break;
            }

            if (silent)
                replies.clear();
        }
    }

    if (unplugNow)
    {
        unplug();
        return;
    }

    if (enterReply == Enter::refuse)
    {
        reply (juce::MidiMessage (0x9F, 0x00, 0x7F), port, 0);
        return;
    }

    if (enterReply == Enter::now)
    {
        restartInBootloader (port);
        return;
    }

    for (auto& r : replies)
        answer (port, r.command, r.how, r.value);
}

void SimulatedSurface::answer (int port, int command, Answer how, int value)
{
    int target, delay;

    {
        const juce::ScopedLock sl (lock);
        target = replyPort != 0 ? replyPort : port;
        delay = replyDelayMs;
    }

    switch (how)
    {
        case Answer::ignore:      return;
        case Answer::statusOnly:  reply (juce::MidiMessage (0x9A, statusNote, 1), target, delay); return;
        case Answer::refuse:      reply (juce::MidiMessage (0x9A, command, 0), target, delay); return;
        case Answer::normal:      reply (juce::MidiMessage (0x9A, command, value & 0x7F), target, delay); return;
    }
}

void SimulatedSurface::reply (const juce::MidiMessage& message, int portNumber, int delayMs)
{
    if (delayMs > 0)
    {
        sendToProgram (message, portNumber, delayMs);
        return;
    }

    // An answer "at once" is in the program's hands before the send that
    // caused it returns, so no wait of the program races the scheduler for it.
    {
        const juce::ScopedLock sl (lock);
        sent.push_back ({ portNumber, message });
    }

    ports.handOverToProgram (getInputName (portNumber), message);
}

//==============================================================================
void SimulatedSurface::setEnterAnswer (EnterAnswer how, int delayMs)
{
    const juce::ScopedLock sl (lock);
    enterAnswer = how;
    enterDelayMs = juce::jmax (0, delayMs);
    enterDueMs = 0;
}

void SimulatedSurface::linkToBootloaderTool (const juce::File& unitStateFile)
{
    const juce::ScopedLock sl (lock);
    bootloaderStateFile = unitStateFile;
    writeBootloaderState();
}

void SimulatedSurface::writeBootloaderState()
{
    if (bootloaderStateFile != juce::File())
        bootloaderStateFile.replaceWithText (inBootloader ? "bootloader" : "running");
}

void SimulatedSurface::restartInBootloader (int port)
{
    // The unit confirms, then restarts in its ROM bootloader: its MIDI ports go.
    reply (juce::MidiMessage (0xEC, 0x2D, 0x01), port, 0);

    const juce::ScopedLock sl (lock);
    inBootloader = true;
    enterDueMs = 0;
    writeBootloaderState();
    unplug();
}

void SimulatedSurface::updateBootloaderLink()
{
    int port = 0;

    {
        const juce::ScopedLock sl (lock);

        if (enterDueMs > 0 && juce::Time::getMillisecondCounterHiRes() >= enterDueMs && isPluggedIn())
            port = portNumberOfLastEnter;

        if (inBootloader && bootloaderStateFile != juce::File()
             && bootloaderStateFile.loadFileAsString().startsWith ("running"))
        {
            inBootloader = false;
            plugIn();
            return;
        }
    }

    if (port != 0)
        restartInBootloader (port);
}

void SimulatedSurface::enterBootloader()
{
    const juce::ScopedLock sl (lock);
    inBootloader = true;
    writeBootloaderState();
    unplug();
}

void SimulatedSurface::leaveBootloader()
{
    const juce::ScopedLock sl (lock);
    inBootloader = false;
    writeBootloaderState();
    plugIn();
}

bool SimulatedSurface::isInBootloader() const     { const juce::ScopedLock sl (lock); return inBootloader; }
int SimulatedSurface::getNumEnterMessages() const { const juce::ScopedLock sl (lock); return enterMessages; }

} // namespace z9test
