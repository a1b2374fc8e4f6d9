#include "core/files/SettingsStore.h"
#include "core/files/SettingsLocation.h"
#include "core/files/StrictXmlReader.h"
#include "core/base/RegularFile.h"
#include <zlib.h>

namespace NsZ9m
{

namespace
{
    // The framework's compressed properties format: these four bytes, then a
    // zlib stream of a little-endian 32-bit count followed by that many
    // key and value pairs, each a UTF-8 text ended by a zero byte.
    constexpr char compressedMagic[4] = { 'C', 'P', 'R', 'P' };

    // Any level reads back the same; this one keeps a save of the whole store
    // quick, and the file about twice as large as at the slowest level.
    constexpr int compressionLevel = 1;

    /** Expands a zlib stream that must end exactly at the end of the data,
        into at most maxOut bytes. */
    juce::Result inflateAll (const void* data, size_t numBytes, juce::int64 maxOut, juce::MemoryBlock& out)
    {
        z_stream stream {};

        if (inflateInit (&stream) != Z_OK)
            return juce::Result::fail ("The decompressor could not start");

        stream.next_in = static_cast<Bytef*> (const_cast<void*> (data));
        stream.avail_in = (uInt) numBytes;

        // A small settings file expands about tenfold; the block grows as needed.
        out.setSize ((size_t) juce::jlimit ((juce::int64) 4096, maxOut, (juce::int64) numBytes * 12));
        size_t produced = 0;
        int status = Z_OK;

        while (status == Z_OK)
        {
            if (produced == out.getSize())
            {
                if ((juce::int64) produced >= maxOut)
                    break;

                out.setSize ((size_t) juce::jmin (maxOut, (juce::int64) produced * 2));
            }

            stream.next_out = static_cast<Bytef*> (out.getData()) + produced;
            stream.avail_out = (uInt) juce::jmin (out.getSize() - produced, (size_t) 1 << 30);
            const auto before = stream.avail_out;
            status = inflate (&stream, Z_NO_FLUSH);
            produced += before - stream.avail_out;

            if (status == Z_BUF_ERROR && stream.avail_in > 0 && stream.avail_out == 0)
                status = Z_OK;   // room ran out: grow the block and go on
        }

        const auto remainingInput = stream.avail_in;
        inflateEnd (&stream);

        if (status != Z_STREAM_END)
        {
            if ((juce::int64) produced >= maxOut)
                return juce::Result::fail ("The settings expand to more than " + juce::String (maxOut) + " bytes");

            return juce::Result::fail ("The compressed settings are damaged or cut off");
        }

        if (remainingInput != 0)
            return juce::Result::fail ("The settings file has bytes after its compressed data");

        out.setSize (produced);
        return juce::Result::ok();
    }

    /** The list of keys and values, which must fill the data exactly. */
    juce::Result parsePropertyList (const char* data, size_t size, juce::StringPairArray& into)
    {
        if (size < 4)
            return juce::Result::fail ("The settings have no property count");

        const auto count = (juce::int32) juce::ByteOrder::littleEndianInt (data);
        size_t pos = 4;

        // every pair takes at least four bytes: a one-byte key, an empty value, two ends
        if (count < 0 || (size_t) count > (size - pos) / 3)
            return juce::Result::fail ("The settings have an impossible property count");

        juce::StringPairArray read (false);

        auto readText = [&] (juce::String& text)
        {
            auto* end = static_cast<const char*> (std::memchr (data + pos, 0, size - pos));

            if (end == nullptr)
                return false;

            const auto length = (size_t) (end - (data + pos));

            if (! StrictXmlReader::isValidUtf8 (data + pos, length))
                return false;

            text = juce::String::fromUTF8 (data + pos, (int) length);
            pos += length + 1;
            return true;
        };

        for (juce::int32 i = 0; i < count; ++i)
        {
            juce::String key, value;

            if (! readText (key) || ! readText (value))
                return juce::Result::fail ("A setting is cut off or not valid UTF-8");

            if (key.isEmpty() || read.containsKey (key))
                return juce::Result::fail ("A setting has an empty or repeated key");

            read.set (key, value);
        }

        if (pos != size)
            return juce::Result::fail ("The settings have bytes after their last property");

        into = std::move (read);
        return juce::Result::ok();
    }

    juce::MemoryBlock makePropertyList (const juce::StringPairArray& properties)
    {
        juce::MemoryOutputStream out;
        auto& keys = properties.getAllKeys();
        auto& values = properties.getAllValues();

        out.writeInt (keys.size());

        for (int i = 0; i < keys.size(); ++i)
        {
            out.writeString (keys[i]);
            out.writeString (values[i]);
        }

        return out.getMemoryBlock();
    }

    juce::MemoryBlock compressPropertyList (const juce::MemoryBlock& list)
    {
        z_stream stream {};
        auto ok = deflateInit (&stream, compressionLevel) == Z_OK;
        juce::MemoryBlock bytes (sizeof (compressedMagic) + deflateBound (&stream, (uLong) list.getSize()));
        std::memcpy (bytes.getData(), compressedMagic, sizeof (compressedMagic));

        if (ok)
        {
            stream.next_in = static_cast<Bytef*> (const_cast<void*> (list.getData()));
            stream.avail_in = (uInt) list.getSize();
            stream.next_out = static_cast<Bytef*> (bytes.getData()) + sizeof (compressedMagic);
            stream.avail_out = (uInt) (bytes.getSize() - sizeof (compressedMagic));
            ok = deflate (&stream, Z_FINISH) == Z_STREAM_END;
            bytes.setSize (sizeof (compressedMagic) + stream.total_out);
            deflateEnd (&stream);
        }

        // deflateBound always leaves room for the whole stream.
        jassert (ok);
        return ok ? bytes : juce::MemoryBlock();
    }
}

//==============================================================================
SettingsStore::SettingsFile::SettingsFile (const juce::File& f)
    : juce::PropertySet (false), file (f)
{
}

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore()
{
    closeFiles();
}

void SettingsStore::openFiles()
{
    // A file that is missing or fails a check leaves its settings empty.
    auto open = [] (const juce::File& file)
    {
        auto props = std::make_unique<SettingsFile> (file);
        juce::StringPairArray read;

        if (readFile (file, read).wasOk())
            props->getAllProperties() = read;

        return props;
    };

    if (userProps == nullptr)
        userProps = open (SettingsLocation::getUserFile());

    if (commonProps == nullptr)
        commonProps = open (SettingsLocation::getCommonFile());

    userProps->setFallbackPropertySet (commonProps.get());
}

SettingsStore::SettingsFile* SettingsStore::getCommonSettings (bool returnUserPropsIfReadOnly)
{
    if (commonProps == nullptr)
        openFiles();

    if (returnUserPropsIfReadOnly)
    {
        if (commonSettingsAreReadOnly == 0)
            commonSettingsAreReadOnly = canWrite (commonProps->getFile()) ? -1 : 1;

        if (commonSettingsAreReadOnly > 0)
            return userProps.get();
    }

    return commonProps.get();
}

SettingsStore::SettingsFile* SettingsStore::getUserSettings()
{
    if (userProps == nullptr)
        openFiles();

    return userProps.get();
}

bool SettingsStore::canWrite (const juce::File& target)
{
    if (target == juce::File() || target.isDirectory() || ! target.getParentDirectory().createDirectory())
        return false;

    if (target.exists() && ! target.hasWriteAccess())
        return false;

    // Writing a small file beside it tells whether the folder takes new files
    // (a save replaces the file by a staged copy), without rewriting a
    // settings file of tens of megabytes at every start.
    juce::TemporaryFile probe (target);

    {
        juce::FileOutputStream out (probe.getFile());

        if (! out.openedOk() || ! out.writeByte (0))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    return probe.getFile().getSize() == 1;
}

//==============================================================================
juce::Result SettingsStore::readBytes (const void* data, size_t numBytes, juce::StringPairArray& into)
{
    if ((juce::int64) numBytes > maxFileBytes)
        return juce::Result::fail ("The settings file is larger than " + juce::String (maxFileBytes) + " bytes");

    if (numBytes < sizeof (compressedMagic) || std::memcmp (data, compressedMagic, sizeof (compressedMagic)) != 0)
        return juce::Result::fail ("The file is not a compressed settings file");

    juce::MemoryBlock list;
    auto expanded = inflateAll (static_cast<const char*> (data) + sizeof (compressedMagic),
                                numBytes - sizeof (compressedMagic), maxExpandedBytes, list);

    if (expanded.failed())
        return expanded;

    return parsePropertyList (static_cast<const char*> (list.getData()), list.getSize(), into);
}

juce::Result SettingsStore::readFile (const juce::File& file, juce::StringPairArray& into)
{
    juce::MemoryBlock bytes;

    switch (RegularFile::read (file, maxFileBytes, bytes))
    {
        case RegularFile::Status::ok:
            return readBytes (bytes.getData(), bytes.getSize(), into);

        case RegularFile::Status::tooLarge:
            return juce::Result::fail ("The settings file is larger than " + juce::String (maxFileBytes) + " bytes");

        case RegularFile::Status::missing:
            return juce::Result::fail ("There is no settings file");

        case RegularFile::Status::notRegularFile:
        case RegularFile::Status::cannotOpen:
            return juce::Result::fail ("The settings file cannot be opened");

        case RegularFile::Status::cannotRead:
            break;
    }

    return juce::Result::fail ("The settings file cannot be read");
}

juce::MemoryBlock SettingsStore::makeFileBytes (const juce::StringPairArray& properties)
{
    return compressPropertyList (makePropertyList (properties));
}

bool SettingsStore::save (SettingsFile& props)
{
    auto target = props.getFile();

    if (target == juce::File() || ! target.getParentDirectory().createDirectory())
        return false;

    const auto list = makePropertyList (props.getAllProperties());
    const auto bytes = compressPropertyList (list);

    if (bytes.isEmpty() || (juce::int64) bytes.getSize() > maxFileBytes || (juce::int64) list.getSize() > maxExpandedBytes)
        return false;

    juce::TemporaryFile staged (target);

    {
        juce::FileOutputStream out (staged.getFile());

        if (! out.openedOk() || ! out.write (bytes.getData(), bytes.getSize()))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    // Read the staged file back before it may replace the old one: the
    // stream may not report every failed write. What it expands to must be
    // the very list that was written.
    {
        juce::MemoryBlock written, expanded;

        if (RegularFile::read (staged.getFile(), maxFileBytes, written) != RegularFile::Status::ok
             || written.getSize() != bytes.getSize()
             || std::memcmp (written.getData(), compressedMagic, sizeof (compressedMagic)) != 0)
            return false;

        if (inflateAll (static_cast<const char*> (written.getData()) + sizeof (compressedMagic),
                        written.getSize() - sizeof (compressedMagic), maxExpandedBytes, expanded).failed()
             || expanded != list)
            return false;
    }

    if (! staged.overwriteTargetFileWithTemporary())
        return false;

    props.setNeedsToBeSaved (false);
    return true;
}

static bool saveIfChanged (SettingsStore::SettingsFile* props)
{
    return props == nullptr || ! props->needsToBeSaved() || SettingsStore::save (*props);
}

bool SettingsStore::saveIfNeeded()
{
    auto userSaved = saveIfChanged (userProps.get());
    auto commonSaved = saveIfChanged (commonProps.get());
    return userSaved && commonSaved;
}

void SettingsStore::closeFiles()
{
    saveIfNeeded();

    for (auto* props : { userProps.get(), commonProps.get() })
        if (props != nullptr)
            props->setNeedsToBeSaved (false);

    userProps.reset();
    commonProps.reset();
}

} // namespace NsZ9m
