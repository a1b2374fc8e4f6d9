#include "tests/support/InMemoryMidiPorts.h"
#include "tests/support/BoundedWait.h"
#include <algorithm>
#include <atomic>
#include <cmath>

namespace z9test
{

class InMemoryInputPort;

// State shared by the system and every port opened from it, so that ports may
// outlive the system. Lock order: deliveryLock before stateLock.
struct InMemoryMidiPorts::Shared
{
    struct ListedPort
    {
        juce::String name;
        int serial;
    };

    struct Pending
    {
        juce::String inputName;
        juce::MidiMessage message;
        std::shared_ptr<juce::WaitableEvent> handedOver;   // signalled after the delivery, when set
    };

    juce::CriticalSection stateLock;     // everything below but the listeners
    juce::CriticalSection deliveryLock;  // held while a callback runs

    std::vector<ListedPort> outputs, inputs;
    juce::StringArray failingNames;
    std::map<juce::String, std::vector<juce::MidiMessage>> received;
    std::map<juce::String, int> outputOpens, inputOpens;
    std::vector<InMemoryInputPort*> openInputs;
    std::vector<std::pair<int, juce::String>> openOutputs;   // serial, name
    std::multimap<double, Pending> queue;
    int nextSerial = 1;
    int lostSends = 0, delivered = 0, undelivered = 0;
    std::atomic<int> inFlight { 0 };

    juce::ListenerList<OutputListener, juce::Array<OutputListener*, juce::CriticalSection>> listeners;

    static bool isListed (const std::vector<ListedPort>& list, int serial)
    {
        return std::any_of (list.begin(), list.end(), [serial] (auto& p) { return p.serial == serial; });
    }
};

//==============================================================================
namespace
{
    class InMemoryOutputPort : public NsZ9m::MidiOutputPort
    {
    public:
        InMemoryOutputPort (std::shared_ptr<InMemoryMidiPorts::Shared> s, const juce::String& n, int serialToUse)
            : shared (std::move (s)), name (n), serial (serialToUse)
        {
            shared->openOutputs.emplace_back (serial, name);   // caller holds stateLock
        }

        ~InMemoryOutputPort() override
        {
            const juce::ScopedLock sl (shared->stateLock);
            auto& list = shared->openOutputs;
            auto it = std::find (list.begin(), list.end(), std::make_pair (serial, name));

            if (it != list.end())
                list.erase (it);
        }

        juce::String getName() const override   { return name; }

        void sendMessageNow (const juce::MidiMessage& message) override
        {
            {
                const juce::ScopedLock sl (shared->stateLock);

                if (! InMemoryMidiPorts::Shared::isListed (shared->outputs, serial))
                {
                    ++shared->lostSends;
                    return;
                }

                shared->received[name].push_back (message);
            }

            shared->listeners.call ([&] (InMemoryMidiPorts::OutputListener& l) { l.messageSentToOutput (name, message); });
        }

    private:
        std::shared_ptr<InMemoryMidiPorts::Shared> shared;
        juce::String name;
        int serial;
    };
}

class InMemoryInputPort : public NsZ9m::MidiInputPort
{
public:
    InMemoryInputPort (std::shared_ptr<InMemoryMidiPorts::Shared> s, const juce::String& n,
                       int serialToUse, juce::MidiInputCallback& cb)
        : shared (std::move (s)), name (n), serial (serialToUse), callback (cb)
    {
        shared->openInputs.push_back (this);   // caller holds stateLock
    }

    ~InMemoryInputPort() override
    {
        const juce::ScopedLock dl (shared->deliveryLock);
        started = false;

        const juce::ScopedLock sl (shared->stateLock);
        auto& list = shared->openInputs;
        list.erase (std::remove (list.begin(), list.end(), this), list.end());
    }

    juce::String getName() const override   { return name; }

    void start() override
    {
        const juce::ScopedLock dl (shared->deliveryLock);
        started = true;
    }

    void stop() override
    {
        const juce::ScopedLock dl (shared->deliveryLock);
        started = false;
    }

    // Called with deliveryLock and stateLock held.
    bool isLive() const      { return InMemoryMidiPorts::Shared::isListed (shared->inputs, serial); }
    bool isStarted() const   { return started; }

    std::shared_ptr<InMemoryMidiPorts::Shared> shared;
    const juce::String name;
    const int serial;
    juce::MidiInputCallback& callback;

private:
    bool started = false;   // guarded by deliveryLock
};

//==============================================================================
class InMemoryMidiPorts::DeliveryThread : public juce::Thread
{
public:
    explicit DeliveryThread (std::shared_ptr<Shared> s)
        : juce::Thread ("In-memory MIDI delivery"), shared (std::move (s))
    {
        startThread();
    }

    ~DeliveryThread() override
    {
        signalThreadShouldExit();
        wakeUp.signal();
        stopThread (2000);
    }

    void wake()   { wakeUp.signal(); }

    void run() override
    {
        while (! threadShouldExit())
        {
            int waitMs = -1;
            Shared::Pending next;
            bool haveNext = false;

            {
                const juce::ScopedLock sl (shared->stateLock);

                if (! shared->queue.empty())
                {
                    auto first = shared->queue.begin();
                    const auto now = juce::Time::getMillisecondCounterHiRes();

                    if (first->first <= now)
                    {
                        next = first->second;
                        shared->queue.erase (first);
                        haveNext = true;
                    }
                    else
                    {
                        waitMs = juce::jmax (1, (int) std::ceil (first->first - now));
                    }
                }
            }

            if (haveNext)
                deliver (next);
            else
                wakeUp.wait (waitMs);
        }
    }

    void deliver (const Shared::Pending& item)
    {
        {
            const juce::ScopedLock dl (shared->deliveryLock);
            std::vector<InMemoryInputPort*> targets;

            {
                const juce::ScopedLock sl (shared->stateLock);

                for (auto* p : shared->openInputs)
                    if (p->name == item.inputName && p->isLive() && p->isStarted())
                        targets.push_back (p);

                if (targets.empty())
                    ++shared->undelivered;
                else
                    ++shared->delivered;
            }

            // The ports cannot go away meanwhile: closing one takes deliveryLock.
            for (auto* p : targets)
                p->callback.handleIncomingMidiMessage (nullptr, item.message);
        }

        --shared->inFlight;

        if (item.handedOver != nullptr)
            item.handedOver->signal();
    }

private:
    std::shared_ptr<Shared> shared;
    juce::WaitableEvent wakeUp;
};

//==============================================================================
InMemoryMidiPorts::InMemoryMidiPorts()
    : shared (std::make_shared<Shared>()),
      deliveryThread (std::make_unique<DeliveryThread> (shared))
{
}

InMemoryMidiPorts::~InMemoryMidiPorts()
{
    deliveryThread.reset();

    const juce::ScopedLock sl (shared->stateLock);
    shared->inFlight -= (int) shared->queue.size();
    shared->queue.clear();
}

void InMemoryMidiPorts::addOutput (const juce::String& name)
{
    const juce::ScopedLock sl (shared->stateLock);
    shared->outputs.push_back ({ name, shared->nextSerial++ });
}

void InMemoryMidiPorts::addInput (const juce::String& name)
{
    const juce::ScopedLock sl (shared->stateLock);
    shared->inputs.push_back ({ name, shared->nextSerial++ });
}

static bool removeFirstNamed (std::vector<InMemoryMidiPorts::Shared::ListedPort>& list, const juce::String& name)
{
    auto it = std::find_if (list.begin(), list.end(), [&] (auto& p) { return p.name == name; });

    if (it == list.end())
        return false;

    list.erase (it);
    return true;
}

bool InMemoryMidiPorts::removeOutput (const juce::String& name)
{
    const juce::ScopedLock sl (shared->stateLock);
    return removeFirstNamed (shared->outputs, name);
}

bool InMemoryMidiPorts::removeInput (const juce::String& name)
{
    const juce::ScopedLock sl (shared->stateLock);
    return removeFirstNamed (shared->inputs, name);
}

void InMemoryMidiPorts::setOpenFails (const juce::String& name, bool shouldFail)
{
    const juce::ScopedLock sl (shared->stateLock);

    if (shouldFail)
        shared->failingNames.addIfNotAlreadyThere (name);
    else
        shared->failingNames.removeString (name);
}

//==============================================================================
std::vector<juce::MidiMessage> InMemoryMidiPorts::getReceived (const juce::String& outputName) const
{
    const juce::ScopedLock sl (shared->stateLock);
    auto it = shared->received.find (outputName);
    return it != shared->received.end() ? it->second : std::vector<juce::MidiMessage>();
}

int InMemoryMidiPorts::getNumReceived (const juce::String& outputName) const
{
    return (int) getReceived (outputName).size();
}

int InMemoryMidiPorts::getNumLostSends() const
{
    const juce::ScopedLock sl (shared->stateLock);
    return shared->lostSends;
}

void InMemoryMidiPorts::clearReceived()
{
    const juce::ScopedLock sl (shared->stateLock);
    shared->received.clear();
    shared->lostSends = 0;
}

void InMemoryMidiPorts::addOutputListener (OutputListener* l)      { shared->listeners.add (l); }
void InMemoryMidiPorts::removeOutputListener (OutputListener* l)   { shared->listeners.remove (l); }

//==============================================================================
void InMemoryMidiPorts::sendToProgram (const juce::String& inputName, const juce::MidiMessage& message, int delayMs)
{
    {
        const juce::ScopedLock sl (shared->stateLock);
        ++shared->inFlight;
        shared->queue.emplace (juce::Time::getMillisecondCounterHiRes() + juce::jmax (0, delayMs),
                               Shared::Pending { inputName, message, nullptr });
    }

    deliveryThread->wake();
}

void InMemoryMidiPorts::handOverToProgram (const juce::String& inputName, const juce::MidiMessage& message)
{
    if (juce::Thread::getCurrentThread() == deliveryThread.get())
    {
        ++shared->inFlight;
        deliveryThread->deliver ({ inputName, message, nullptr });
        return;
    }

    auto handedOver = std::make_shared<juce::WaitableEvent> (true);

    {
        const juce::ScopedLock sl (shared->stateLock);
        ++shared->inFlight;
        shared->queue.emplace (juce::Time::getMillisecondCounterHiRes(), Shared::Pending { inputName, message, handedOver });
    }

    deliveryThread->wake();

    // The delivery thread needs nothing of this thread to go on, so this wait
    // ends as soon as it gets the processor.
    const auto delivered = handedOver->wait (handOverLimitMs);
    jassert (delivered);   // the delivery thread is stuck in a callback: look for a deadlock there
    juce::ignoreUnused (delivered);
}

bool InMemoryMidiPorts::waitUntilDelivered()
{
    return waitUntil ([this] { return shared->inFlight.load() == 0; });
}

int InMemoryMidiPorts::getNumDelivered() const
{
    const juce::ScopedLock sl (shared->stateLock);
    return shared->delivered;
}

int InMemoryMidiPorts::getNumUndelivered() const
{
    const juce::ScopedLock sl (shared->stateLock);
    return shared->undelivered;
}

//==============================================================================
bool InMemoryMidiPorts::isOutputOpen (const juce::String& name) const
{
    const juce::ScopedLock sl (shared->stateLock);

    for (auto& [serial, n] : shared->openOutputs)
        if (n == name && Shared::isListed (shared->outputs, serial))
            return true;

    return false;
}

bool InMemoryMidiPorts::isInputOpen (const juce::String& name) const
{
    const juce::ScopedLock sl (shared->stateLock);

    for (auto* p : shared->openInputs)
        if (p->name == name && p->isLive())
            return true;

    return false;
}

bool InMemoryMidiPorts::isInputStarted (const juce::String& name) const
{
    const juce::ScopedLock dl (shared->deliveryLock);
    const juce::ScopedLock sl (shared->stateLock);

    for (auto* p : shared->openInputs)
        if (p->name == name && p->isLive() && p->isStarted())
            return true;

    return false;
}

int InMemoryMidiPorts::getNumOutputOpens (const juce::String& name) const
{
    const juce::ScopedLock sl (shared->stateLock);
    auto it = shared->outputOpens.find (name);
    return it != shared->outputOpens.end() ? it->second : 0;
}

int InMemoryMidiPorts::getNumInputOpens (const juce::String& name) const
{
    const juce::ScopedLock sl (shared->stateLock);
    auto it = shared->inputOpens.find (name);
    return it != shared->inputOpens.end() ? it->second : 0;
}

//==============================================================================
static juce::StringArray namesOf (const std::vector<InMemoryMidiPorts::Shared::ListedPort>& list)
{
    juce::StringArray names;

    for (auto& p : list)
        names.add (p.name);

    return names;
}

juce::StringArray InMemoryMidiPorts::getOutputNames()
{
    const juce::ScopedLock sl (shared->stateLock);
    return namesOf (shared->outputs);
}

juce::StringArray InMemoryMidiPorts::getInputNames()
{
    const juce::ScopedLock sl (shared->stateLock);
    return namesOf (shared->inputs);
}

std::unique_ptr<NsZ9m::MidiOutputPort> InMemoryMidiPorts::openOutput (int index)
{
    const juce::ScopedLock sl (shared->stateLock);

    if (! juce::isPositiveAndBelow (index, (int) shared->outputs.size()))
        return {};

    auto port = shared->outputs[(size_t) index];

    if (shared->failingNames.contains (port.name))
        return {};

    ++shared->outputOpens[port.name];
    return std::make_unique<InMemoryOutputPort> (shared, port.name, port.serial);
}

std::unique_ptr<NsZ9m::MidiInputPort> InMemoryMidiPorts::openInput (int index, juce::MidiInputCallback* callback)
{
    // An input needs a callback to deliver to.
    jassert (callback != nullptr);

    const juce::ScopedLock sl (shared->stateLock);

    if (callback == nullptr || ! juce::isPositiveAndBelow (index, (int) shared->inputs.size()))
        return {};

    auto port = shared->inputs[(size_t) index];

    if (shared->failingNames.contains (port.name))
        return {};

    ++shared->inputOpens[port.name];
    return std::make_unique<InMemoryInputPort> (shared, port.name, port.serial, *callback);
}

} // namespace z9test
