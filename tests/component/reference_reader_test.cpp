#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "catalogue_text.h"
#include "records.h"
#include "text_conversion.h"

namespace {

// The catalogue as one line: "dap|iap" then "[type,device_id,...,duration]" per device.
std::string Describe(const CReference& ref) {
    std::string s = NarrowLowBytes(ref.discovery_app_path) + "|" + NarrowLowBytes(ref.installer_app_path);
    for (const CRefDevice& d : ref.devices)
        s += "[" + NarrowLowBytes(d.type) + "," + NarrowLowBytes(d.device_id) + "," + NarrowLowBytes(d.model) + "," +
             NarrowLowBytes(d.firmware) + "," + NarrowLowBytes(d.bios) + "," + NarrowLowBytes(d.boot) + "," +
             NarrowLowBytes(d.duration) + "]";
    return s;
}

struct CatalogueCase {
    const char* name;
    const char* xml;
    const char* catalogue;
};

void PrintTo(const CatalogueCase& c, std::ostream* os) { *os << c.name; }

const CatalogueCase kCatalogues[] = {
    {"full",
     "<?xml version=\"1.0\"?>\n<taverin_fchba_reference>\n"
     "  <discovery_app_path><![CDATA[./disc]]></discovery_app_path>\n"
     "  <installer_app_path><![CDATA[./inst]]></installer_app_path>\n"
     "  <devices>\n    <device>\n"
     "      <type value=\"T\"/><device_id value=\"1077.2532.1077.015d\"/><model value=\"M\"/>\n"
     "      <firmware value=\"5.06\"/><bios value=\"3.00\"/><boot value=\"b\"/><duration value=\"120\"/>\n"
     "    </device>\n  </devices>\n</taverin_fchba_reference>\n",
     "./disc|./inst[T,1077.2532.1077.015d,M,5.06,3.00,b,120]"},
    {"no_whitespace_devices_first",
     "<taverin_fchba_reference><devices><device><bios value=\"1\"/></device></devices>"
     "<discovery_app_path><![CDATA[p]]></discovery_app_path></taverin_fchba_reference>",
     "p|[,,,,1,,]"},
    {"line_break_before_cdata",
     "<taverin_fchba_reference><discovery_app_path>\n<![CDATA[p]]></discovery_app_path></taverin_fchba_reference>",
     "|"},
    {"plain_text_path_not_read",
     "<taverin_fchba_reference><installer_app_path>p</installer_app_path></taverin_fchba_reference>", "|"},
    {"last_cdata_path_wins",
     "<taverin_fchba_reference><discovery_app_path><![CDATA[a]]></discovery_app_path>"
     "<discovery_app_path><![CDATA[b]]></discovery_app_path><discovery_app_path>c</discovery_app_path>"
     "</taverin_fchba_reference>",
     "b|"},
    {"device_without_leaves", "<taverin_fchba_reference><devices><device/></devices></taverin_fchba_reference>",
     "|[,,,,,,]"},
    {"content_instead_of_value",
     "<taverin_fchba_reference><devices><device><bios>3.00</bios><model value=\"m\" other=\"x\"/>"
     "</device></devices></taverin_fchba_reference>",
     "|[,,m,,,,]"},
    {"later_leaf_overwrites",
     "<taverin_fchba_reference><devices><device><bios value=\"1\"/><bios value=\"2\"/><Bios value=\"3\"/>"
     "</device></devices></taverin_fchba_reference>",
     "|[,,,,2,,]"},
    {"several_devices_lists_in_order",
     "<taverin_fchba_reference><devices><device><type value=\"a\"/></device><other/><device><type value=\"b\"/>"
     "</device></devices><devices><device><type value=\"c\"/></device></devices></taverin_fchba_reference>",
     "|[a,,,,,,][b,,,,,,][c,,,,,,]"},
    {"nested_devices_not_read",
     "<taverin_fchba_reference><devices><device><devices><device><type value=\"x\"/></device></devices>"
     "</device></devices></taverin_fchba_reference>",
     "|[,,,,,,]"},
    {"device_outside_devices_not_read",
     "<taverin_fchba_reference><device><type value=\"x\"/></device></taverin_fchba_reference>", "|"},
    {"root_without_children", "<taverin_fchba_reference/>", "|"},
    {"devices_as_root", "<devices><device><type value=\"r\"/></device></devices>", "|[r,,,,,,]"},
    {"unknown_root", "<catalogue><devices><device/></devices></catalogue>", "|"},
    {"names_are_case_sensitive", "<TAVERIN_FCHBA_REFERENCE><devices><device/></devices></TAVERIN_FCHBA_REFERENCE>",
     "|"},
    {"doctype_naming_the_root_hides_it",
     "<?xml version=\"1.0\"?>\n<!DOCTYPE taverin_fchba_reference [\n<!ELEMENT devices ANY>\n]>\n"
     "<taverin_fchba_reference><devices><device/></devices></taverin_fchba_reference>",
     "|"},
    {"escaped_value", "<devices><device><model value=\"a&amp;b &lt;c&gt;\"/></device></devices>",
     "|[,,a&b <c>,,,,]"},
    // An entity reference's first child is the entity's declaration, whose
    // siblings are the other declarations: the walk meets them by name, and
    // none of them has attributes.
    {"reference_leads_to_entity_declarations",
     "<!DOCTYPE catalogue [<!ENTITY device \"d\"> <!ENTITY type \"t\">]>"
     "<taverin_fchba_reference><devices>&device;</devices></taverin_fchba_reference>",
     "|[,,,,,,]"},
    {"reference_leads_to_attribute_default",
     "<!DOCTYPE catalogue [<!ENTITY device \"d\"> <!ATTLIST x bios CDATA \"default\">]>"
     "<taverin_fchba_reference><devices>&device;</devices></taverin_fchba_reference>",
     "|[,,,,,,]"},
    {"reference_leads_to_instruction",
     "<!DOCTYPE catalogue [<!ENTITY device \"<?model m?>\"> <?type t?> <!ENTITY duration \"9\">]>"
     "<taverin_fchba_reference><devices>&device;<device><model value=\"kept\"/></device></devices>"
     "</taverin_fchba_reference>",
     "|[,,,,,,][,,kept,,,,]"},
    {"entity_inside_value",
     "<!DOCTYPE catalogue [<!ENTITY v \"1&w;\"> <!ENTITY w \"0\">]>"
     "<devices><device><bios value=\"2.&v;\"/><model value=\"&v;-&amp;&#65;&v;\"/></device></devices>",
     "|[,,10-&A10,,2.10,,]"},
};

class CatalogueTest : public ::testing::TestWithParam<CatalogueCase> {};

TEST_P(CatalogueTest, ReadsWhatTheWalkMeets) {
    std::ofstream("reference.xml") << GetParam().xml;
    CReference ref;
    ASSERT_TRUE(ref.Load());
    EXPECT_EQ(Describe(ref), GetParam().catalogue);
}

INSTANTIATE_TEST_SUITE_P(Documents, CatalogueTest, ::testing::ValuesIn(kCatalogues),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Catalogue, MissingFileFails) {
    std::remove("reference.xml");
    CReference ref;
    EXPECT_FALSE(ref.Load());
}

TEST(Catalogue, MalformedFileFailsAndLeavesTheCatalogueAsItWas) {
    std::ofstream("reference.xml") << "<devices><device><type value=\"a\"/></device></devices>";
    CReference ref;
    ASSERT_TRUE(ref.Load());
    std::ofstream("reference.xml") << "<devices><device><type value=\"b\"/></device>";
    ::testing::internal::CaptureStderr();  // libxml2 reports the error itself
    EXPECT_FALSE(ref.Load());
    EXPECT_NE(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Describe(ref), "|[a,,,,,,]");
}

// A catalogue whose first device is plain and whose second holds leaves,
// behind the given entity declarations.
std::string WithLeaves(const std::string& entities, const std::string& leaves) {
    return "<!DOCTYPE devices [" + entities + "]><devices><device><type value=\"first\"/></device>" + "<device>" +
           leaves + "</device></devices>";
}

// The same with one leaf, a bios that carries value.
std::string WithBiosValue(const std::string& entities, const std::string& value) {
    return WithLeaves(entities, "<bios value=\"" + value + "\"/>");
}

std::string References(const std::string& name, int count) { return Repeated("&" + name + ";", count); }

const char kValueRefusal[] = "reference.xml: a value expands past the limit of 65536 bytes\n";
const char kCatalogueRefusal[] = "reference.xml: its values together expand past the limit of 33554432 bytes\n";

struct ExpansionCase {
    const char* name;
    std::string xml;
    const char* refusal;  // null: read
    size_t biosLength;    // when read
};

void PrintTo(const ExpansionCase& c, std::ostream* os) { *os << c.name; }

// The walk counts toward the catalogue's bound too: a device the room of
// its seven strings in wide characters, a node visited (an attribute
// included) one, a reference the length of its name.
const size_t kDeviceCost = sizeof(CRefDevice) / sizeof(wchar_t);

// What the walk counts in WithLeaves's catalogue behind two declarations,
// with 514 leaves: the document type and the root at document level, the
// two declarations (the walk meets the type, named devices, as a devices
// list), the two devices, and each leaf with its attribute.
const size_t kWalkOfTheBoundCatalogue = 2 + 2 + 2 * (1 + kDeviceCost) + 2 * 514;

// Bios values that bring the catalogue, with the first device's "first" and
// the walk, to 32 MiB: 511 of one 65,535-byte entity (64 KiB each, the
// reference counted), then literal bytes to make 512 such. Later leaves of a
// name overwrite earlier ones, so only one value is ever held.
const size_t kLastLiteral = 65536 - 5 - kWalkOfTheBoundCatalogue;
const std::string kValuesToTheCatalogueBound =
    Repeated("<bios value=\"&e;\"/>", 511) + "<bios value=\"" + std::string(kLastLiteral, 'x') + "\"/>";
const std::string kBoundDeclarations = Entity("e", std::string(65535, 'x')) + Entity("n", "");

// A value may expand to 64 KiB and all values together to 32 MiB, each
// entity reference followed counting one byte besides the text it brings;
// past either the catalogue is refused whole.
const ExpansionCase kExpansions[] = {
    {"literal_at_the_bound", WithBiosValue("", std::string(65536, 'x')), nullptr, 65536},
    {"literal_past_the_bound", WithBiosValue("", std::string(65537, 'x')), kValueRefusal, 0},
    {"references_at_the_bound", WithBiosValue(Entity("e", std::string(1023, 'x')), References("e", 64)), nullptr,
     64 * 1023},
    {"references_past_the_bound", WithBiosValue(Entity("e", std::string(1023, 'x')), References("e", 65)),
     kValueRefusal, 0},
    {"literal_then_reference_past_the_bound",
     WithBiosValue(Entity("e", std::string(10000, 'x')), std::string(60000, 'x') + "&e;"), kValueRefusal, 0},
    {"nested_references_to_nothing",
     WithBiosValue(Entity("nothing", "") + Entity("many", References("nothing", 300)), References("many", 300)),
     kValueRefusal, 0},
    {"large_entity_used_over_and_over",
     WithBiosValue(Entity("e", std::string(100000, 'x')), References("e", 2000)), kValueRefusal, 0},
    {"values_at_the_catalogue_bound",
     WithLeaves(kBoundDeclarations, "<boot value=\"\"/>" + kValuesToTheCatalogueBound), nullptr, kLastLiteral},
    {"one_reference_past_the_catalogue_bound",
     WithLeaves(kBoundDeclarations, "<boot value=\"&n;\"/>" + kValuesToTheCatalogueBound), kCatalogueRefusal, 0},
};

// A catalogue whose values leave some 64,000 of the catalogue's bound: 511
// of 64 KiB in one device, then what comes after the devices list. Its
// document type holds those values' entity, then the given declarations.
std::string NearTheCatalogueBound(const std::string& declarations, const std::string& after) {
    return "<!DOCTYPE catalogue [" + Entity("e", std::string(65535, 'x')) + declarations +
           "]><taverin_fchba_reference><devices><device>" + Repeated("<bios value=\"&e;\"/>", 511) +
           "</device></devices>" + after + "</taverin_fchba_reference>";
}

// Attributes a0 to a(count - 1), empty.
std::string Attributes(int count) {
    std::string attributes;
    for (int i = 0; i < count; ++i) attributes += " a" + std::to_string(i) + "=''";
    return attributes;
}

const std::string kLongName(1000, 'n');

// The walk matches names, not node types: a reference is followed into its
// entity's declaration and on through the declarations after it. Each of
// these counts more than twice what the values leave, and less than half
// that without its own kind of step.
const ExpansionCase kWalks[] = {
    // Each reference read as a devices list makes a device of each of 50
    // instructions named device: 2,500 devices.
    {"devices_from_nowhere",
     NearTheCatalogueBound(Entity("devices", " ") + Repeated("<?device?>", 50), References("devices", 50)),
     kCatalogueRefusal, 0},
    // Each of 400 references named device reads the 400 instructions after
    // its entity as its leaves.
    {"leaves_through_the_document_type",
     NearTheCatalogueBound(Entity("device", " ") + Repeated("<?x?>", 400),
                           "<devices>" + References("device", 400) + "</devices>"),
     kCatalogueRefusal, 0},
    // Each of 400 references read as a devices list passes 400 instructions.
    {"devices_lists_through_the_document_type",
     NearTheCatalogueBound(Entity("devices", " ") + Repeated("<?x?>", 400), References("devices", 400)),
     kCatalogueRefusal, 0},
    // Each of 100 references read as a devices list reads the declaration of
    // device, whose content (used once elsewhere) is a type leaf of 2,000
    // attributes.
    {"attributes_met_again",
     NearTheCatalogueBound(Entity("devices", " ") + Entity("device", "<type" + Attributes(2000) + "/>"),
                           "<unused>&device;</unused>" + References("devices", 100)),
     kCatalogueRefusal, 0},
    // 1,000 references to an empty entity whose name is 1,000 characters.
    {"long_reference_names",
     NearTheCatalogueBound(Entity(kLongName, ""),
                           "<devices><device>" +
                               Repeated("<bios value=\"" + References(kLongName, 100) + "\"/>", 10) +
                               "</device></devices>"),
     kCatalogueRefusal, 0},
    // 130,000 comments beside the devices list.
    {"nodes_beside_the_devices", NearTheCatalogueBound("", Repeated("<!---->", 130000)), kCatalogueRefusal, 0},
};

class ExpansionTest : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(ExpansionTest, IsBoundedWhileItIsRead) {
    const ExpansionCase& c = GetParam();
    std::ofstream("reference.xml") << "<devices><device><type value=\"earlier\"/></device></devices>";
    CReference ref;
    ASSERT_TRUE(ref.Load());
    std::ofstream("reference.xml") << c.xml;
    ::testing::internal::CaptureStderr();
    const bool read = ref.Load();
    const std::string err = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(read, c.refusal == nullptr);
    if (read) {
        EXPECT_EQ(err, "");
        ASSERT_EQ(ref.devices.size(), 3u);
        EXPECT_EQ(ref.devices[2].bios, std::wstring(c.biosLength, L'x'));
    } else {
        EXPECT_EQ(err, c.refusal);
        EXPECT_EQ(Describe(ref), "|[earlier,,,,,,]") << "the catalogue is left as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(Values, ExpansionTest, ::testing::ValuesIn(kExpansions),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Walks, ExpansionTest, ::testing::ValuesIn(kWalks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Catalogue, NonAsciiBytesWidenAsSignedChars) {
    std::ofstream("reference.xml") << "<devices><device><model value=\"\xC3\xA9t\xC3\xA9\"/></device></devices>";
    CReference ref;
    ASSERT_TRUE(ref.Load());
    ASSERT_EQ(ref.devices.size(), 1u);
    EXPECT_EQ(ref.devices[0].model, (std::wstring{wchar_t(-61), wchar_t(-87), L't', wchar_t(-61), wchar_t(-87)}));
}

}  // namespace
