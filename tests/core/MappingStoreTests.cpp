#include "core/model/MappingStore.h"
#include "core/model/ControlNumbers.h"
#include "core/model/Products.h"
#include "core/sync/ProcessState.h"
#include "tests/support/CoreFixture.h"

using namespace NsZ9m;

namespace
{
    juce::StringArray propertyNames (const juce::ValueTree& v)
    {
        juce::StringArray names;
        for (int i = 0; i < v.getNumProperties(); ++i)
            names.add (v.getPropertyName (i).toString());
        return names;
    }

    class MappingStoreTest : public z9test::CoreFixture
    {
    protected:
        // The bare default tree, without the built-in profiles.
        MappingStore makeDefaultTree()
        {
            MappingStore store { juce::ValueTree (Ids::store) };
            store.buildDefaultTree();
            return store;
        }
    };
}

TEST_F (MappingStoreTest, DefaultTreeLayoutCountsAndPropertyOrder)
{
    auto store = makeDefaultTree();
    auto root = store.getTree();

    EXPECT_EQ (propertyNames (root), juce::StringArray ({ "current", "ver" }));
    EXPECT_EQ ((int) root["current"], 1);
    EXPECT_EQ (root["ver"].toString(), "0.32");
    ASSERT_EQ (root.getNumChildren(), 8);

    int ctlCount = 0;

    for (int i = 0; i < 8; ++i)
    {
        auto model = root.getChild (i);
        EXPECT_EQ (model.getType(), Ids::model);
        EXPECT_EQ (propertyNames (model), juce::StringArray ({ "id", "current", "pid" }));
        EXPECT_EQ ((int) model["id"], i + 1);
        EXPECT_EQ ((int) model["pid"], productList()[i]);
        ASSERT_EQ (model.getNumChildren(), 3);

        for (int j = 0; j < 3; ++j)
        {
            auto slot = model.getChild (j);
            EXPECT_EQ (propertyNames (slot), juce::StringArray ({ "id", "current", "daw1", "daw2", "daw3" }));
            EXPECT_EQ ((int) slot["id"], j);
            ASSERT_EQ (slot.getNumChildren(), 18);

            for (int d = 1; d <= 18; ++d)
            {
                auto mode = slot.getChild (d - 1);
                EXPECT_EQ (propertyNames (mode), juce::StringArray ({ "id", "mode", "protocol" }));
                EXPECT_EQ ((int) mode["id"], d);
                EXPECT_EQ (mode["mode"].toString(), getDawIdString (d));
                EXPECT_EQ ((int) mode["protocol"], d == 3 ? 1 : 0);
                ASSERT_EQ (mode.getNumChildren(), 252);
                ctlCount += mode.getNumChildren();
            }
        }
    }

    EXPECT_EQ (ctlCount, 108864);

    auto mode = root.getChild (5).getChild (2).getChild (16);

    for (int c = 1; c <= 252; ++c)
    {
        auto ctl = mode.getChild (c - 1);
        juce::StringArray expected { "id", "kind", "valueType", "value", "name" };
        if (c <= 80)
            expected.add ("lockBy");

        ASSERT_EQ (propertyNames (ctl), expected) << "control " << c;
        EXPECT_EQ ((int) ctl["id"], c);
        EXPECT_EQ (ctl["kind"].toString(), getControlKindName (getControlKind (c)));
        EXPECT_EQ (ctl["valueType"].toString(), "nil");
    }
}

TEST_F (MappingStoreTest, RootCurrentFollowsTheCurrentProduct)
{
    const std::pair<int, int> cases[] = { { 2055, 1 }, { 2056, 2 }, { 2072, 8 }, { 2054, 0 }, { 2000, 0 } };

    for (auto [product, expected] : cases)
    {
        currentProductId = product;
        EXPECT_EQ ((int) makeDefaultTree().getTree()["current"], expected) << product;
    }

    currentProductId = 2056;
    MappingStore store { juce::ValueTree (Ids::store) };
    store.getTree().setProperty (Ids::current, 5, nullptr);
    store.resetToDefaults();
    EXPECT_EQ ((int) store.getTree()["current"], 2);
}

TEST_F (MappingStoreTest, NavigationByIdAndByPosition)
{
    auto store = makeDefaultTree();
    auto root = store.getTree();

    // getModel finds a model by its id, not by its position
    root.getChild (0).setProperty (Ids::id, 7, nullptr);
    root.getChild (6).setProperty (Ids::id, 1, nullptr);
    EXPECT_EQ ((int) store.getModel (1)["pid"], 2071);
    EXPECT_EQ ((int) store.getModel (7)["pid"], 2055);
    EXPECT_FALSE (store.getModel (9).isValid());

    root.getChild (0).setProperty (Ids::id, 1, nullptr);
    root.getChild (6).setProperty (Ids::id, 7, nullptr);

    // -1 takes the root's current, model 1 when that is missing
    root.setProperty (Ids::current, 3, nullptr);
    EXPECT_EQ ((int) store.getModel()["pid"], 2067);
    root.removeProperty (Ids::current, nullptr);
    EXPECT_EQ ((int) store.getModel()["pid"], 2055);

    // slot -1 takes the model's current; missing current or slot number 0 give index 0
    auto model = store.getModel (1);
    model.setProperty (Ids::current, 2, nullptr);
    EXPECT_EQ ((int) store.getSlot (-1, 1)["id"], 2);
    EXPECT_EQ (store.getCurrentSlotIndex(), 2);
    model.removeProperty (Ids::current, nullptr);
    EXPECT_EQ ((int) store.getSlot (-1, -1)["id"], 0);
    EXPECT_EQ ((int) store.getSlot (0, 1)["id"], 0);
    EXPECT_EQ (store.getCurrentSlotIndex(), 0);

    // a slot without a DAW reads the first DAW's profile
    auto control = store.getControl (5, 2, 1);
    EXPECT_EQ ((int) control["id"], 5);
    EXPECT_EQ (control.getParent(), store.getModel (1).getChild (1).getChild (0));

    store.getModel (1).getChild (1).setProperty (Ids::current, 4, nullptr);
    EXPECT_EQ (store.getControl (5, 2, 1).getParent(), store.getModel (1).getChild (1).getChild (3));

    model.setProperty (Ids::current, 1, nullptr);
    EXPECT_EQ (store.getControlOfCurrentSlot (5), store.getControl (5, 2, 1));
}

TEST_F (MappingStoreTest, CurrentDawAndSlotDaw)
{
    auto store = makeDefaultTree();
    auto slot = store.getSlot (1, 1);

    EXPECT_EQ (store.getCurrentDaw().get(), 0);
    slot.setProperty (Ids::current, 5, nullptr);
    EXPECT_EQ (store.getCurrentDaw().get(), 5);
    EXPECT_EQ (store.getSlotDaw (1).get(), 5);
    slot.setProperty (Ids::current, 19, nullptr);
    EXPECT_EQ (store.getCurrentDaw().get(), 0);
    EXPECT_EQ (store.getSlotDaw (1).get(), 19);

    // a model current beyond the slots gives no DAW
    store.getModel (1).setProperty (Ids::current, 3, nullptr);
    EXPECT_EQ (store.getCurrentDaw().get(), 0);
}

TEST_F (MappingStoreTest, ProductOutsideTheListLeavesTheCurrentModelMissing)
{
    currentProductId = 2054;
    auto store = makeDefaultTree();

    EXPECT_EQ ((int) store.getTree()["current"], 0);
    EXPECT_FALSE (store.getModel().isValid());

    auto control = store.getControlOfCurrentSlot (5);
    EXPECT_FALSE (control.isValid());
    EXPECT_EQ ((int) control["value"], 0);
    EXPECT_EQ ((int) store.getControlOfCurrentSlot (5)["value"], 0);
    EXPECT_EQ (store.getCurrentDaw().get(), 0);
}

TEST_F (MappingStoreTest, HandlesShareOneTreeAndSeeAReset)
{
    MappingStore store;
    MappingStore other (store.getTree());

    other.getControl (3, 1, 1).setProperty (Ids::name, "Shared", nullptr);
    EXPECT_EQ (store.getControl (3, 1, 1)["name"].toString(), "Shared");

    store.resetToDefaults();
    EXPECT_EQ (other.getTree(), store.getTree());
    EXPECT_NE (other.getControl (3, 1, 1)["name"].toString(), "Shared");
    EXPECT_EQ (other.getTree().getNumChildren(), 8);
}

TEST_F (MappingStoreTest, ClearKeepsTheNameOfMidiAndTheSecondKeyCombination)
{
    auto store = makeDefaultTree();

    auto midi = store.getControl (5, 1, 1);
    midi.setProperty (Ids::valueType, "midi", nullptr);
    midi.setProperty (Ids::name, "My CC", nullptr);
    midi.setProperty (Ids::chan, 3, nullptr);
    clearControlAssignment (midi);
    EXPECT_EQ (midi["name"].toString(), "My CC");

    auto hotkey = store.getControl (6, 1, 1);
    hotkey.setProperty (Ids::valueType, " hotkey", nullptr);
    hotkey.setProperty (Ids::name, "Save", nullptr);
    hotkey.setProperty (Ids::key2, 0x16, nullptr);
    hotkey.setProperty (Ids::keyName2, "S", nullptr);
    hotkey.setProperty (Ids::diyNameQ, 1, nullptr);
    hotkey.setProperty (Ids::lockBy, 4, nullptr);
    clearControlAssignment (hotkey);

    EXPECT_EQ (hotkey["name"].toString(), "");
    EXPECT_EQ ((int) hotkey["key2"], 0x16);
    EXPECT_EQ (hotkey["keyName2"].toString(), "S");
    EXPECT_EQ ((int) hotkey["diyNameQ"], 1);
    EXPECT_EQ ((int) hotkey["lockBy"], 4);
    EXPECT_EQ (hotkey["kind"].toString(), "button");

    // a never-assigned control ("nil" reads as func) loses its name
    auto never = store.getControl (7, 1, 1);
    never.setProperty (Ids::name, "x", nullptr);
    clearControlAssignment (never);
    EXPECT_EQ (never["name"].toString(), "");

    EXPECT_EQ (propertyNames (never), juce::StringArray ({ "id", "kind", "valueType", "value", "name", "lockBy",
                                                           "ctrl", "shift", "alt", "cmd", "key", "keyName", "type",
                                                           "chan", "msgValue", "rotate", "val1", "val2" }));
    EXPECT_EQ (never["valueType"].toString(), "null");
    EXPECT_EQ (never["type"].toString(), "nil");
    EXPECT_EQ ((int) never["val1"], -1);
    EXPECT_EQ ((int) never["val2"], -1);
}

TEST_F (MappingStoreTest, CopyKeepsTheTargetIdAndDropsPropertiesTheSourceLacks)
{
    auto store = makeDefaultTree();
    auto source = store.getControl (10, 1, 1);
    auto target = store.getControl (120, 1, 1);

    source.setProperty (Ids::valueType, "midi", nullptr);
    source.setProperty (Ids::msgValue, 64, nullptr);
    target.setProperty (Ids::rotate, 2, nullptr);
    copyControlAssignment (source, target);

    EXPECT_EQ ((int) target["id"], 120);
    EXPECT_EQ ((int) target["msgValue"], 64);
    EXPECT_EQ (target["kind"].toString(), "button");
    EXPECT_FALSE (target.hasProperty (Ids::rotate));
    EXPECT_TRUE (target.hasProperty (Ids::lockBy));
}

TEST_F (MappingStoreTest, SwapExchangesEverythingButTheControlNumbers)
{
    auto store = makeDefaultTree();
    auto five = store.getControlOfCurrentSlot (5);
    auto six = store.getControlOfCurrentSlot (6);

    five.setProperty (Ids::valueType, "hotkey", nullptr);
    five.setProperty (Ids::key, 4, nullptr);
    six.setProperty (Ids::valueType, "midi", nullptr);
    six.setProperty (Ids::msgValue, 60, nullptr);
    six.setProperty (Ids::diyNameQ, 1, nullptr);

    swapControlAssignments (store, 5, 6);

    five = store.getControlOfCurrentSlot (5);
    six = store.getControlOfCurrentSlot (6);
    EXPECT_EQ ((int) five["id"], 5);
    EXPECT_EQ (five["valueType"].toString(), "midi");
    EXPECT_EQ ((int) five["msgValue"], 60);
    EXPECT_EQ ((int) five["diyNameQ"], 1);
    EXPECT_FALSE (five.hasProperty (Ids::key));
    EXPECT_EQ ((int) six["id"], 6);
    EXPECT_EQ (six["valueType"].toString(), "hotkey");
    EXPECT_EQ ((int) six["key"], 4);
    EXPECT_FALSE (six.hasProperty (Ids::diyNameQ));
}
