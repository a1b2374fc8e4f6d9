#include "core/link/JuceMidiPortSystem.h"
#include "core/link/MidiSystemMessages.h"

namespace NsZ9m
{

namespace
{
    juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
    {
        juce::StringArray names;

        for (auto& d : devices)
            names.add (d.name);

        return names;
    }

    class JuceOutputPort : public MidiOutputPort
    {
    public:
        JuceOutputPort (std::unique_ptr<juce::MidiOutput> d, const juce::String& n)
            : device (std::move (d)), name (n) {}

        juce::String getName() const override                          { return name; }
        void sendMessageNow (const juce::MidiMessage& m) override      { device->sendMessageNow (m); }

    private:
        std::unique_ptr<juce::MidiOutput> device;
        juce::String name;
    };

    // Passes the framework's deliveries on while started. The lock is held
    // for each delivery, so stop() returns only once none is running.
    class JuceInputPort : public MidiInputPort,
                          private juce::MidiInputCallback
    {
    public:
        JuceInputPort (juce::MidiInputCallback& cb, const juce::String& n)
            : callback (cb), name (n) {}

        ~JuceInputPort() override
        {
            stop();
            device.reset();
        }

        bool open (const juce::String& identifier)
        {
            device = juce::MidiInput::openDevice (identifier, this);
            return device != nullptr;
        }

        juce::String getName() const override   { return name; }

        void start() override
        {
            {
                const juce::ScopedLock sl (deliveryLock);
                delivering = true;
            }
            device->start();
        }

        void stop() override
        {
            {
                const juce::ScopedLock sl (deliveryLock);
                delivering = false;
            }

            if (device != nullptr)
                device->stop();
        }

    private:
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            const juce::ScopedLock sl (deliveryLock);

            if (delivering)
                callback.handleIncomingMidiMessage (nullptr, m);
        }

        juce::MidiInputCallback& callback;
        juce::String name;
        juce::CriticalSection deliveryLock;
        bool delivering = false;
        std::unique_ptr<juce::MidiInput> device;
    };
}

JuceMidiPortSystem::JuceMidiPortSystem()
{
    installMidiSystemErrorHandler();
}

juce::StringArray JuceMidiPortSystem::getOutputNames()   { return namesOf (juce::MidiOutput::getAvailableDevices()); }
juce::StringArray JuceMidiPortSystem::getInputNames()    { return namesOf (juce::MidiInput::getAvailableDevices()); }

std::unique_ptr<MidiOutputPort> JuceMidiPortSystem::openOutput (int index)
{
    auto devices = juce::MidiOutput::getAvailableDevices();

    if (! juce::isPositiveAndBelow (index, devices.size()))
        return {};

    if (auto device = juce::MidiOutput::openDevice (devices[index].identifier))
        return std::make_unique<JuceOutputPort> (std::move (device), devices[index].name);

    return {};
}

std::unique_ptr<MidiInputPort> JuceMidiPortSystem::openInput (int index, juce::MidiInputCallback* callback)
{
    // The port delivers to this callback; opening without one is a caller's fault.
    jassert (callback != nullptr);

    auto devices = juce::MidiInput::getAvailableDevices();

    if (callback == nullptr || ! juce::isPositiveAndBelow (index, devices.size()))
        return {};

    auto port = std::make_unique<JuceInputPort> (*callback, devices[index].name);

    if (! port->open (devices[index].identifier))
        return {};

    return port;
}

} // namespace NsZ9m
