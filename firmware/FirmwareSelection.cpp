#include "firmware/FirmwareSelection.h"
#include "firmware/FirmwareCatalogue.h"
#include "firmware/FirmwareProducts.h"
#include "firmware/FirmwareSelectComponent.h"
#include "firmware/UpgraderState.h"
#include "gui/Dialogs.h"

namespace vorlix
{

using NsZ9m::Dialogs;

FirmwareSelectionFlags& firmwareSelectionFlags()
{
    static FirmwareSelectionFlags flags;
    return flags;
}

namespace
{
    const juce::String upToDateText ("Your device is up-to-date.");
    const juce::String notMatchingText ("Not the matching firmware!");

    /** The file the user picks, or an invalid file when cancelled. */
    juce::File chooseFirmwareFile (const juce::File& start)
    {
        const auto file = Dialogs::chooseFileToOpen ("Choose The Firmware File", start, "*.bin");
        return file.existsAsFile() ? file : juce::File();
    }

    class Selection
    {
    public:
        explicit Selection (FirmwareSelectionHost& h) : host (h) {}

        void run()
        {
            host.setStep (2);
            host.disableStartAndEnter();
            flags.newerVersion = false;

            // An image this program downloaded and no upgrade used goes now;
            // a file the user picked is never marked ready.
            if (host.firmwareFileReady())
                host.firmwareFile().deleteFile();

            host.firmwareFileReady() = false;

            // Nothing chosen before (in this wizard or an earlier one) may be
            // written in place of what this selection brings. The file stays
            // only as the place where the file chooser starts.
            state.chosenFirmwarePath.clear();

            if (state.toolFamily)
                runToolFamily();
            else
                runMidiFamily();
        }

    private:
        //==============================================================================
        void runToolFamily()
        {
            if (state.online)
            {
                const auto result = fetchCatalogue (normaliseProductId (host.getTargetProduct()));

                if (result.getErrorMessage().containsIgnoreCase ("unavailable"))
                {
                    useFileChooser = true;
                }
                else if (result.wasOk())
                {
                    const auto check = compareWithCatalogue (host.getTargetPortName(), host.firmwares());

                    if (check.message.isNotEmpty())
                        message = check.message;

                    if (check.statusText.isNotEmpty())
                        host.setStatusText (check.statusText);

                    flags.newerVersion = check.newerVersion;

                    if (check.offerChooser && ! offerCatalogueDownload())
                        return;
                }
                else
                {
                    failed = true;
                    message = result.getErrorMessage();
                }
            }
            else
            {
                useFileChooser = true;
            }

            if (failed)
            {
                useFileChooser = true;
                failed = false;
            }

            if (useFileChooser)
            {
                const auto file = chooseFirmwareFile (host.firmwareFile());

                if (file == juce::File())
                    return;

                host.firmwareFile() = file;

                if (isFirmwareFileNameOfProduct (file.getFileName(), host.getUnitProduct()))
                {
                    state.chosenFirmwarePath = file.getFullPathName();
                    imageReady();
                }
                else
                {
                    failed = true;
                    message = notMatchingText;
                }
            }

            if (! failed && ready && ! state.abort && state.automaticStepping)
                host.runUpgradeStep();
            else if (! (failed && state.repeat))
                Dialogs::showMessage (Dialogs::Icon::warning, "Firmware Upgrade", message);
        }

        /** The chooser, then the download of the chosen entry into the
            download folder; false when the user cancelled. */
        bool offerCatalogueDownload()
        {
            const auto choice = FirmwareSelectComponent::runChooserDialog (host.firmwares(), 0,
                                                                           state.automaticStepping && ! flags.newerVersion,
                                                                           host.getDialogParent());
            if (! choice.confirmed)
                return false;

            const auto fw = choice.entry["fw"].toString();
            const auto name = firmwareFileNameFromPath (fw);

            host.setBusy (true);
            auto result = juce::Result::fail (notMatchingText);
            juce::File target;

            if (name.isNotEmpty())
            {
                target = host.getDownloadFolder().getChildFile (name);
                target.getParentDirectory().createDirectory();
                result = downloadFirmware (fw, host.getUnitProduct(), target);
            }

            host.setBusy (false);
            host.setStep (2);

            if (result.wasOk())
            {
                host.firmwareFile() = target;
                host.firmwareFileReady() = true;
                state.chosenFirmwarePath = target.getFullPathName();
                imageReady();
            }
            else
            {
                failed = true;
                message = result.getErrorMessage();
            }

            return true;
        }

        //==============================================================================
        void runMidiFamily()
        {
            if (state.online)
            {
                fetchCatalogue (host.getTargetProduct());

                if (host.firmwares().getNumChildren() == 0)
                {
                    failed = true;
                }
                else
                {
                    const auto choice = FirmwareSelectComponent::runChooserDialog (host.firmwares(), 0,
                                                                                   state.automaticStepping && ! flags.newerVersion,
                                                                                   host.getDialogParent());
                    if (! choice.confirmed)
                        return;

                    // The download lives only for this step: its bytes go
                    // into the unit's handler.
                    juce::TemporaryFile temporary;
                    host.setBusy (true);
                    const auto result = downloadFirmware (choice.entry["fw"].toString(), host.getUnitProduct(),
                                                          temporary.getFile());
                    host.setBusy (false);
                    host.setStep (2);

                    if (result.wasOk() && host.loadMidiImage (temporary.getFile()))
                        imageReady();
                    else
                        Dialogs::showMessage (Dialogs::Icon::warning, "Firmware Download",
                                              result.wasOk() ? juce::String ("Firmware exception!") : result.getErrorMessage());
                }
            }
            else
            {
                useFileChooser = true;
            }

            if (failed)
            {
                useFileChooser = true;
                failed = false;
            }

            if (useFileChooser)
            {
                const auto file = chooseFirmwareFile (host.firmwareFile());

                if (file == juce::File())
                    return;

                host.firmwareFile() = file;

                if (! isFirmwareFileNameOfProduct (file.getFileName(), host.getUnitProduct()))
                {
                    Dialogs::showMessage (Dialogs::Icon::warning, "Load File", notMatchingText);
                    return;
                }

                if (! host.loadMidiImage (file))
                {
                    Dialogs::showMessage (Dialogs::Icon::warning, "Load File", "Firmware exception!");
                    return;
                }

                imageReady();
            }

            if (ready && ! state.abort && state.automaticStepping)
                host.runUpgradeStep();
        }

        /** The catalogue into the host's firmwares. The fetch runs the
            message loop for up to half a minute, so the step is busy
            meanwhile, as it is while it downloads. */
        juce::Result fetchCatalogue (int productId)
        {
            host.firmwares() = juce::ValueTree ("firmwares");
            host.setBusy (true);
            const auto result = fetchFirmwareDetails (productId, host.firmwares());
            host.setBusy (false);
            host.setStep (2);
            host.disableStartAndEnter();
            return result;
        }

        void imageReady()
        {
            ready = true;
            host.setStep (3);
            host.disableStartAndEnter();
        }

        FirmwareSelectionHost& host;
        UpgraderState& state = upgraderState();
        FirmwareSelectionFlags& flags = firmwareSelectionFlags();

        juce::String message { "OK" };
        bool useFileChooser = false, failed = false, ready = false;
    };
}

void runFirmwareSelection (FirmwareSelectionHost& host)
{
    auto& flags = firmwareSelectionFlags();

    // One selection at a time: whatever reaches this while a selection runs
    // (its fetch, download and dialogs run the message loop) starts nothing.
    // Two would each end in an upgrade under automatic stepping, and the
    // outer one would go on with what the inner one has changed.
    if (flags.running)
        return;

    const juce::ScopedValueSetter<bool> running (flags.running, true);
    Selection (host).run();
}

} // namespace vorlix
