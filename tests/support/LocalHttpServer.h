#pragma once

#include "core/base/JuceIncludes.h"
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace z9test
{

/**
    A small HTTP/1.1 server on 127.0.0.1, for tests of the firmware
    catalogue and the download: real sockets, real requests through curl.

    It listens on a port the system picks (getBaseAddress() gives
    "http://127.0.0.1:<port>/") and answers GET requests on a thread of its
    own, one connection at a time, each closed after its answer. What each
    path answers is set by the test: a file (200), any status with a body, a
    redirect, a body shorter than the length it announces, an answer that
    comes late or trickles, or a connection closed without an answer. Any
    other path gets a 404 page (an HTML body, as real servers send).

    Every member may be called from any thread; the server stops when it
    goes.
*/
class LocalHttpServer : private juce::Thread
{
public:
    struct Reply
    {
        int status = 200;
        std::string body;
        juce::int64 declaredLength = -1;     ///< the Content-Length sent; -1: the body's size
        juce::String location;               ///< a Location header (redirects)
        int delayMs = 0;                     ///< wait this long before answering

        /** When set, the answer waits until the test signals this event, but
            never longer than maxHoldMs: a request the test holds "in flight"
            for as long as it acts on what waits for it. */
        std::shared_ptr<juce::WaitableEvent> holdUntil;
        int trickleBytesPerSecond = 0;       ///< send the body this slowly (0: at once)
        bool closeWithoutAnswer = false;
    };

    /** The longest a held answer waits (Reply::holdUntil). */
    static constexpr int maxHoldMs = 20000;

    /** Starts listening; throws std::runtime_error when no port can be had. */
    LocalHttpServer();
    ~LocalHttpServer() override;

    juce::String getBaseAddress() const;
    int getPort() const noexcept   { return port; }

    /** What a path (beginning with "/", without query) answers from now on. */
    void serve (const juce::String& path, const Reply& reply);
    void serveData (const juce::String& path, const void* data, size_t size, int status = 200);
    void serveText (const juce::String& path, const juce::String& text, int status = 200);

    /** A redirect (302 by default) from one path to another address (a path
        of this server or a whole address). */
    void redirect (const juce::String& path, const juce::String& to, int status = 302);

    /** The paths requested so far, in order. */
    juce::StringArray getRequests() const;
    int countRequests (const juce::String& path) const;

private:
    void run() override;
    void answer (juce::StreamingSocket& client);

    juce::StreamingSocket listener;
    int port = 0;

    mutable std::mutex mutex;
    std::map<juce::String, Reply> replies;
    juce::StringArray requests;
};

} // namespace z9test
