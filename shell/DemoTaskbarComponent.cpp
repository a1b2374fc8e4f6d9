#include "shell/DemoTaskbarComponent.h"
#include "shell/Assets.h"
#include "shell/DemoRunnerApplication.h"
#include "shell/SystemTray.h"

DemoTaskbarComponent::DemoTaskbarComponent()
    : onQuit (requestApplicationQuit)
{
    if (isSystemTrayAvailable())
    {
        setIconImage (loadAssetImage ("Vorlix-big256.png"), loadAssetImage ("Vorlix-big256-template.png"));
        inTray = isOnDesktop() && isVisible();
    }

    setIconTooltip ("Ostrik");
}

DemoTaskbarComponent::~DemoTaskbarComponent()
{
    stopTimer();
}

void DemoTaskbarComponent::mouseDown (const juce::MouseEvent&)
{
    juce::Process::makeForegroundProcess();
    startTimer (50);
}

juce::PopupMenu DemoTaskbarComponent::createMenu()
{
    juce::PopupMenu menu;
    menu.addItem (1, "Quit", true, false);
    return menu;
}

void DemoTaskbarComponent::timerCallback()
{
    stopTimer();
    createMenu().showMenuAsync (juce::PopupMenu::Options(),
                                juce::ModalCallbackFunction::forComponent (onTrayMenuResult, this));
}

void DemoTaskbarComponent::onTrayMenuResult (int result, DemoTaskbarComponent* entry)
{
    if (result != 1)
        return;

    if (entry != nullptr && entry->onQuit != nullptr)
        entry->onQuit();
    else
        requestApplicationQuit();
}
