#include "tests/support/LocalHttpServer.h"
#include <csignal>
#include <stdexcept>

namespace z9test
{

namespace
{
    juce::String reasonFor (int status)
    {
        switch (status)
        {
            case 200: return "OK";
            case 301: return "Moved Permanently";
            case 302: return "Found";
            case 304: return "Not Modified";
            case 404: return "Not Found";
            case 500: return "Internal Server Error";
            default:  return "Status";
        }
    }

    bool writeAll (juce::StreamingSocket& socket, const void* data, size_t size)
    {
        auto* p = static_cast<const char*> (data);

        while (size > 0)
        {
            const auto n = socket.write (p, (int) juce::jmin (size, (size_t) 65536));

            if (n <= 0)
                return false;

            p += n;
            size -= (size_t) n;
        }

        return true;
    }
}

LocalHttpServer::LocalHttpServer() : juce::Thread ("Local HTTP server")
{
    // A client that hangs up mid-answer must not end the test process.
    std::signal (SIGPIPE, SIG_IGN);

    if (! listener.createListener (0, "127.0.0.1"))
        throw std::runtime_error ("the local HTTP server cannot listen");

    port = listener.getBoundPort();
    startThread();
}

LocalHttpServer::~LocalHttpServer()
{
    signalThreadShouldExit();
    listener.close();
    stopThread (10000);
}

juce::String LocalHttpServer::getBaseAddress() const
{
    return "http://127.0.0.1:" + juce::String (port) + "/";
}

void LocalHttpServer::serve (const juce::String& path, const Reply& reply)
{
    std::lock_guard<std::mutex> lock (mutex);
    replies[path] = reply;
}

void LocalHttpServer::serveData (const juce::String& path, const void* data, size_t size, int status)
{
    Reply reply;
    reply.status = status;
    reply.body.assign (static_cast<const char*> (data), size);
    serve (path, reply);
}

void LocalHttpServer::serveText (const juce::String& path, const juce::String& text, int status)
{
    serveData (path, text.toRawUTF8(), text.getNumBytesAsUTF8(), status);
}

void LocalHttpServer::redirect (const juce::String& path, const juce::String& to, int status)
{
    Reply reply;
    reply.status = status;
    reply.location = to.startsWith ("/") ? "http://127.0.0.1:" + juce::String (port) + to : to;
    serve (path, reply);
}

juce::StringArray LocalHttpServer::getRequests() const
{
    std::lock_guard<std::mutex> lock (mutex);
    return requests;
}

int LocalHttpServer::countRequests (const juce::String& path) const
{
    std::lock_guard<std::mutex> lock (mutex);
    int n = 0;

    for (auto& r : requests)
        if (r == path)
            ++n;

    return n;
}

void LocalHttpServer::run()
{
    while (! threadShouldExit())
    {
        if (listener.waitUntilReady (true, 50) <= 0)
            continue;

        std::unique_ptr<juce::StreamingSocket> client (listener.waitForNextConnection());

        if (client != nullptr && ! threadShouldExit())
            answer (*client);
    }
}

void LocalHttpServer::answer (juce::StreamingSocket& client)
{
    // The request's head, up to its empty line; 64 KiB and 5 s at most.
    juce::MemoryBlock head;
    const auto start = juce::Time::getMillisecondCounter();

    while (head.getSize() < 65536 && ! threadShouldExit())
    {
        const auto text = head.toString();

        if (text.contains ("\r\n\r\n"))
            break;

        if (juce::Time::getMillisecondCounter() - start > 5000)
            return;

        if (client.waitUntilReady (true, 50) <= 0)
            continue;

        char buffer[4096];
        const auto n = client.read (buffer, sizeof (buffer), false);

        if (n <= 0)
            return;

        head.append (buffer, (size_t) n);
    }

    const auto requestLine = head.toString().upToFirstOccurrenceOf ("\r\n", false, false);
    const auto tokens = juce::StringArray::fromTokens (requestLine, " ", {});
    const auto path = tokens[1].upToFirstOccurrenceOf ("?", false, false);

    Reply reply;
    bool known = false;

    {
        std::lock_guard<std::mutex> lock (mutex);
        requests.add (path);

        auto found = replies.find (path);

        if (tokens[0] == "GET" && found != replies.end())
        {
            reply = found->second;
            known = true;
        }
    }

    if (! known)
    {
        reply.status = 404;
        const juce::String page ("<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1></body></html>");
        reply.body = page.toStdString();
    }

    if (reply.delayMs > 0)
        juce::Thread::sleep (reply.delayMs);

    if (reply.holdUntil != nullptr)
        for (int held = 0; held < maxHoldMs && ! threadShouldExit() && ! reply.holdUntil->wait (50); held += 50) {}

    if (reply.closeWithoutAnswer || threadShouldExit())
        return;

    const auto length = reply.declaredLength >= 0 ? reply.declaredLength : (juce::int64) reply.body.size();

    juce::String header;
    header << "HTTP/1.1 " << reply.status << " " << reasonFor (reply.status) << "\r\n"
           << "Content-Length: " << length << "\r\n"
           << "Content-Type: " << (known ? "application/octet-stream" : "text/html") << "\r\n"
           << "Connection: close\r\n";

    if (reply.location.isNotEmpty())
        header << "Location: " << reply.location << "\r\n";

    header << "\r\n";

    if (! writeAll (client, header.toRawUTF8(), header.getNumBytesAsUTF8()))
        return;

    const auto* body = reply.body.data();
    const auto size = reply.body.size();

    if (reply.trickleBytesPerSecond <= 0)
    {
        writeAll (client, body, size);
    }
    else
    {
        // A few bytes at a time until the test (or the client) gives up.
        for (size_t sent = 0; sent < size && ! threadShouldExit(); )
        {
            const auto n = juce::jmin ((size_t) juce::jmax (1, reply.trickleBytesPerSecond / 10), size - sent);

            if (! writeAll (client, body + sent, n))
                return;

            sent += n;
            juce::Thread::sleep (100);
        }
    }

    client.close();
}

} // namespace z9test
