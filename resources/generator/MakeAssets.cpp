// Draws the program's own images into the given Assets folder:
//   z9_make_assets <path to resources/Assets>
// The images are committed; run this again only when a picture changes.

#include "gui/JuceGuiIncludes.h"

namespace
{
    const juce::Colour brandOrange (0xffff8c1a);
    const juce::Colour brandBlue (0xff3a7bd5);
    const juce::Colour bodyDark (0xff26292e);

    /** The maker's mark: a bold "V" cut from two strokes. */
    juce::Path markPath (juce::Rectangle<float> r)
    {
        juce::Path p;
        p.startNewSubPath (r.getX(), r.getY());
        p.lineTo (r.getX() + r.getWidth() * 0.28f, r.getY());
        p.lineTo (r.getCentreX(), r.getBottom() - r.getHeight() * 0.35f);
        p.lineTo (r.getRight() - r.getWidth() * 0.28f, r.getY());
        p.lineTo (r.getRight(), r.getY());
        p.lineTo (r.getCentreX() + r.getWidth() * 0.1f, r.getBottom());
        p.lineTo (r.getCentreX() - r.getWidth() * 0.1f, r.getBottom());
        p.closeSubPath();
        return p;
    }

    juce::Image logo()
    {
        juce::Image image (juce::Image::ARGB, 240, 80, true);
        juce::Graphics g (image);

        g.setColour (brandOrange);
        g.fillPath (markPath ({ 8.0f, 14.0f, 56.0f, 52.0f }));

        g.setColour (brandBlue);
        g.setFont (juce::Font (46.0f, juce::Font::bold));
        g.drawText ("VORLIX", juce::Rectangle<int> (70, 10, 168, 60), juce::Justification::centredLeft, false);
        return image;
    }

    /** A control surface seen from above: body, faders, knobs and pads. */
    juce::Image surface (bool xModel)
    {
        juce::Image image (juce::Image::ARGB, 160, 40, true);
        juce::Graphics g (image);

        g.setColour (bodyDark);
        g.fillRoundedRectangle (1.0f, 2.0f, 158.0f, 36.0f, 5.0f);
        g.setColour (juce::Colours::black);
        g.drawRoundedRectangle (1.0f, 2.0f, 158.0f, 36.0f, 5.0f, 1.0f);

        const auto accent = xModel ? brandBlue : brandOrange;
        const int faders = xModel ? 9 : 8;

        for (int i = 0; i < faders; ++i)
        {
            const auto x = 8.0f + (float) i * 9.0f;
            g.setColour (juce::Colour (0xff101214));
            g.fillRect (x + 2.5f, 16.0f, 2.0f, 18.0f);
            g.setColour (juce::Colours::lightgrey);
            g.fillRect (x, 20.0f + (float) ((i * 5) % 11), 7.0f, 3.0f);
            g.setColour (accent);
            g.fillEllipse (x, 6.0f, 7.0f, 7.0f);
        }

        const int columns = xModel ? 6 : 8;
        const auto padArea = juce::Rectangle<float> (92.0f, 7.0f, 62.0f, 26.0f);
        const auto padW = padArea.getWidth() / (float) columns;

        for (int row = 0; row < 2; ++row)
            for (int c = 0; c < columns; ++c)
            {
                auto pad = juce::Rectangle<float> (padArea.getX() + (float) c * padW, padArea.getY() + (float) row * 13.0f,
                                                   padW, 13.0f).reduced (1.0f);
                g.setColour ((row + c) % 3 == 0 ? accent : juce::Colour (0xff5a5f66));
                g.fillRoundedRectangle (pad, 1.5f);
            }

        return image;
    }

    juce::Image panelBackground()
    {
        juce::Image image (juce::Image::RGB, 600, 600, true);
        juce::Graphics g (image);

        g.setGradientFill (juce::ColourGradient (juce::Colour (0xff3b4048), 0.0f, 0.0f,
                                                 juce::Colour (0xff1d2025), 0.0f, 600.0f, false));
        g.fillAll();

        g.setColour (juce::Colours::white.withAlpha (0.05f));

        for (int i = 0; i <= 600; i += 25)
        {
            g.drawHorizontalLine (i, 0.0f, 600.0f);
            g.drawVerticalLine (i, 0.0f, 600.0f);
        }

        g.setColour (brandOrange.withAlpha (0.35f));
        g.fillRect (0, 0, 600, 4);
        return image;
    }

    juce::Image trayIcon (bool templateImage)
    {
        juce::Image image (juce::Image::ARGB, 256, 256, true);
        juce::Graphics g (image);

        if (templateImage)
        {
            g.setColour (juce::Colours::black);
        }
        else
        {
            g.setColour (brandOrange);
            g.fillRoundedRectangle (8.0f, 8.0f, 240.0f, 240.0f, 48.0f);
            g.setColour (juce::Colours::white);
        }

        g.fillPath (markPath ({ 48.0f, 60.0f, 160.0f, 140.0f }));
        return image;
    }

    bool write (const juce::Image& image, const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        file.deleteFile();

        juce::FileOutputStream out (file);

        if (! out.openedOk())
            return false;

        if (file.hasFileExtension ("jpg"))
        {
            juce::JPEGImageFormat jpeg;
            jpeg.setQuality (0.9f);
            return jpeg.writeImageToStream (image, out);
        }

        juce::PNGImageFormat png;
        return png.writeImageToStream (image, out);
    }
}

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::fprintf (stderr, "usage: z9_make_assets <path to resources/Assets>\n");
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juceInit;
    const juce::File assets (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));

    const std::pair<const char*, juce::Image> images[] =
    {
        { "Vorlix Logo.png",              logo() },
        { "z9-m.png",                     surface (false) },
        { "z9-x.png",                     surface (true) },
        { "bkg/Z9-M.jpg",                 panelBackground() },
        { "Vorlix-big256.png",            trayIcon (false) },
        { "Vorlix-big256-template.png",   trayIcon (true) },
    };

    for (auto& [name, image] : images)
    {
        if (! write (image, assets.getChildFile (name)))
        {
            std::fprintf (stderr, "could not write %s\n", name);
            return 1;
        }
    }

    return 0;
}
