#include "core/link/PortNames.h"
#include "core/model/Products.h"

namespace NsZ9m
{

int ProductPatternRow::getNumPatterns() const noexcept
{
    int n = 0;

    for (auto* p : patterns)
        if (p != nullptr)
            ++n;

    return n;
}

// The maker's whole product range. Rows mapping to productUnknown keep a name
// away from a broader row further down (old or special editions of a model).
// The Z9 family: the further M-type model before the Z9-M (whose pattern would
// also take its names), the extended X models before the Z9-X ("x1"). The
// second line (Q7) follows the same order.
const std::vector<ProductPatternRow>& productPatternRows (bool alternateList)
{
    static const std::vector<ProductPatternRow> mainRows
    {
        { { "*nk25 mk1*" },                       productUnknown },   //  1
        { { "*nk49 mk1*" },                       productUnknown },
        { { "*nk61 mk1*" },                       productUnknown },
        { { "*pad16 demo*" },                     productUnknown },
        { { "*fadr8 proto*" },                    productUnknown },   //  5
        { { "*knobline boot*", "*knobline dfu*" }, productUnknown },
        { { "*dk25*" },                           2001 },
        { { "*dk49*" },                           2002 },
        { { "*dk61*" },                           2003 },
        { { "*sk49 plus*", "*sk49+*" },           2004 },             // 10
        { { "*sk49*" },                           2005 },
        { { "*sk61 plus*", "*sk61+*" },           2006 },
        { { "*sk61*" },                           2007 },
        { { "*beatpad mini*" },                   2008 },
        { { "*beatpad*" },                        2009 },             // 15
        { { "*cube8*" },                          2010 },
        { { "*cube16*" },                         2011 },
        { { "*z9?mini*" },                        productFurtherM },  // 18: Z9-Mini
        { { "*y7 ctl*", "*y7 control*" },         2012 },
        { { "*z9?m*" },                           2055 },             // 20: Z9-M
        { { "*z9?x2*" },                          2067 },
        { { "*z9?x3*" },                          2068 },
        { { "*z9?x4*" },                          2069 },
        { { "*z9?x5*" },                          2070 },
        { { "*z9?x6*" },                          2071 },             // 25
        { { "*z9?x7*" },                          2072 },
        { { "*z9?x1*" },                          2056 },             // 27: Z9-X
        { { "*q7?m*" },                           2057 },
        { { "*q7?x2*" },                          2073 },
        { { "*q7?x3*" },                          2074 },             // 30
        { { "*q7?x4*" },                          2075 },
        { { "*q7?x5*" },                          2076 },
        { { "*q7?x6*" },                          2077 },
        { { "*q7?x7*" },                          2078 },
        { { "*q7?x1*" },                          2058 },             // 35
        { { "*nk25*" },                           2013 },
        { { "*nk49*" },                           2014 },
        { { "*nk61*" },                           2015 },
        { { "*nk88*" },                           2016 },
        { { "*orbit boot*" },                     productUnknown },   // 40
        { { "*pad16*" },                          2017 },
        { { "*pad32*" },                          2018 },
        { { "*pad64*" },                          2019 },
        { { "*strip8*" },                         2020 },
        { { "*fadr8*" },                          2021 },             // 45
        { { "*fadr16*" },                         2022 },
        { { "*jogx*", "*jog x*" },                2023 },
        { { "*dj-2*" },                           2024 },
        { { "*dj-4*" },                           2025 },
        { { "*knobline*" },                       2026 },             // 50
        { { "*arc 12*" },                         2027 },
        { { "*arc 24*" },                         2028 },
        { { "*seqbox*" },                         2029 },
        { { "*drumnode*" },                       2030 },
        { { "*orbit*" },                          2031 },             // 55
        { { "*breath ctl*", "*breathctl*" },      2032 },
        { { "*pedalboard*" },                     2033 },
        { { "*footswitch*" },                     2034 },
        { { "*stage 61*" },                       2035 },
        { { "*stage 88*" },                       2036 },             // 60
        { { "*hub4 legacy*" },                    productUnknown },
        { { "*hub4*" },                           2037 },
        { { "*hub8*" },                           2038 },
        { { "*mixface 8*" },                      2039 },
        { { "*mixface 16*" },                     2040 },             // 65
        { { "*tape deck*", "*tapedeck*" },        2041 },
        { { "*cue pad*" },                        2042 },
        { { "*grid 64*", "*grid64*" },            2043 },
        { { "*grid 128*", "*grid128*" },          2044 },
        { { "*vx keys*" },                        2045 },             // 70
        { { "*vx pads*" },                        2046 },
    };

    // The alternate brand's models (product ids 2090 to 2100).
    static const std::vector<ProductPatternRow> alternateRows
    {
        { { "*tm-25*", "*tm25*", "*tonmark 25*" }, 2090 },
        { { "*tm-49*", "*tm49*", "*tonmark 49*" }, 2091 },
        { { "*tm pad*", "*tmpad*" },               2092 },
        { { "*tm-61*" },                           2093 },
        { { "*tm-88*" },                           2094 },
        { { "*tm mix*" },                          2095 },
        { { "*tm fader*" },                        2096 },
        { { "*tm knob*" },                         2097 },
        { { "*tm drum*" },                         2098 },
        { { "*tm seq*" },                          2099 },
        { { "*tm hub*" },                          2100 },
    };

    return alternateList ? alternateRows : mainRows;
}

int productIdFromPortName (const juce::String& portName, bool alternateList)
{
    const auto text = portName.toLowerCase().trim();

    for (auto& row : productPatternRows (alternateList))
        for (auto* pattern : row.patterns)
            if (pattern != nullptr && text.matchesWildcard (pattern, true))
                return row.productId;

    return productUnknown;
}

bool matchesOutputPortPattern (const juce::String& name, PortNameCase nameCase)
{
    return name.matchesWildcard ("MIDIOUT? (*)", nameCase == PortNameCase::ignored);
}

bool matchesInputPortPattern (const juce::String& name, PortNameCase nameCase)
{
    return name.matchesWildcard ("MIDIIN? (*)", nameCase == PortNameCase::ignored);
}

bool matchesBrandPortPattern (const juce::String& name)    { return name.matchesWildcard ("VORLIX*Midi*", true); }

static int digitAt (const juce::String& name, int position)
{
    const auto c = name[position];
    return juce::CharacterFunctions::isDigit (c) ? (int) (c - '0') : -1;
}

// "MIDIOUT" and "MIDIIN" stand at the start of a multi-port name, so its port
// digit and its bracketed device name follow at fixed places.
static constexpr int outputDigitPosition = 7;   // "MIDIOUT?"
static constexpr int inputDigitPosition = 6;    // "MIDIIN?"

int portIndexFromName (const juce::String& portName, PortNameCase nameCase)
{
    if (matchesOutputPortPattern (portName, nameCase))
        return digitAt (portName, outputDigitPosition);

    if (matchesInputPortPattern (portName, nameCase))
        return digitAt (portName, inputDigitPosition);

    return 1;
}

juce::String deviceNameOfPort (const juce::String& portName)
{
    // The digit, a blank and "(" precede the device's name; ")" ends it.
    if (matchesOutputPortPattern (portName, PortNameCase::respected))
        return portName.substring (outputDigitPosition + 3, portName.length() - 1);

    if (matchesInputPortPattern (portName, PortNameCase::respected))
        return portName.substring (inputDigitPosition + 3, portName.length() - 1);

    return portName;
}

juce::String pairPortName (const juce::String& name, bool toInput)
{
    if (toInput)
        return matchesOutputPortPattern (name, PortNameCase::respected) ? name.replace ("MIDIOUT", "MIDIIN") : name;

    return matchesInputPortPattern (name, PortNameCase::respected) ? name.replace ("MIDIIN", "MIDIOUT") : name;
}

int bestPortIndexOf (const juce::StringArray& names, int productId, bool alternateList)
{
    int best = -1;

    for (auto& name : names)
        if (productIdFromPortName (name, alternateList) == productId)
            best = juce::jmax (best, portIndexFromName (name));

    return best;
}

juce::String bestPortNameOf (const juce::StringArray& names, int productId, bool useBrandFallback,
                             bool alternateList)
{
    juce::String bestName;
    int bestPort = -1;

    for (auto& name : names)
    {
        if (productIdFromPortName (name, alternateList) != productId)
            continue;

        const auto port = portIndexFromName (name);

        if (port > bestPort)
        {
            bestPort = port;
            bestName = name;
        }
    }

    if (bestPort == -1 && useBrandFallback)
        for (auto& name : names)
            if (matchesBrandPortPattern (name))
                bestName = name;

    return bestName;
}

} // namespace NsZ9m
