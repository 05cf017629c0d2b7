// Reads reference.xml through libxml2's public node fields. The walk tests
// node names only, never types; what it does with document-level names,
// several devices lists and CDATA-first children is part of the format.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "records.h"
#include "text_conversion.h"

static const char kCatalogue[] = "reference.xml";

static bool NameIs(const xmlNode* node, const char* name) {
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

static std::wstring Widen(const xmlChar* text) {
    return text ? WidenBytes(reinterpret_cast<const char*>(text)) : std::wstring();
}

// What one "value" may expand to: its bytes once entity references are
// replaced, each reference followed counting one byte more. Real values are
// versions, identities and names of a few dozen bytes; 64 KiB stands far
// above them, while a small file whose references are used over and over (or
// nest and expand to nothing) can no longer cost gigabytes or minutes.
constexpr size_t kMaxExpandedValue = 64 * 1024;

// What all values of a catalogue may expand to together, counted alike, and
// what the walk does reading them. A real catalogue of a few hundred devices
// comes to some tens of KB, 100,000 devices of seven short values to some 14
// million. Up to 32 MiB a read keeps at most some 130 MB (4 bytes a unit; a
// growing device list may hold up to thrice that for a moment) and takes
// about a second of references followed or nodes visited, so a small file of
// many values each just under the value bound, of many leaves naming long
// chains of references, or of references that lead the walk through the
// document type over and over, can no longer cost gigabytes or minutes.
constexpr size_t kMaxExpandedCatalogue = 32 * 1024 * 1024;

// The walk counts in the unit of the values, a byte kept as one wide
// character, so that each step weighs what it costs: a device made the wide
// characters its seven strings take the room of (56 on a 64-bit build), a
// node visited one as a reference followed does, and a reference the length
// of its name, which finding its entity reads whole.
constexpr size_t kDeviceCost = sizeof(CRefDevice) / sizeof(wchar_t);

// What has been counted so far: the bytes of the value being joined, and
// everything toward the catalogue's bound.
struct ExpansionCount {
    size_t value = 0;
    size_t catalogue = 0;
    bool catalogueFull = false;  // the last refusal was the catalogue's bound
};

// Counts value more bytes of the value being joined and work more toward the
// catalogue; false, counting nothing, when either would pass its bound.
static bool Count(size_t value, size_t work, ExpansionCount& count) {
    if (value > kMaxExpandedValue - count.value) return false;
    if (work > kMaxExpandedCatalogue - count.catalogue) {
        count.catalogueFull = true;
        return false;
    }
    count.value += value;
    count.catalogue += work;
    return true;
}

// n bytes of a value: they count toward both bounds.
static bool CountBytes(size_t n, ExpansionCount& count) { return Count(n, n, count); }

// A step of the walk outside a value: a node visited, a device made.
static bool CountStep(size_t work, ExpansionCount& count) { return Count(0, work, count); }

static size_t NameLength(const xmlNode* node) {
    return node->name ? std::strlen(reinterpret_cast<const char*>(node->name)) : 0;
}

// Joins a node list as libxml2 joins an attribute's value: text and CDATA as
// they are, an entity reference by its entity's nodes in turn (a reference
// to no declared entity by its own content). False as soon as the count
// passes a bound; value is then left part-way.
static bool JoinBounded(const xmlDoc* doc, const xmlNode* nodes, ExpansionCount& count, std::string& value) {
    for (const xmlNode* node = nodes; node; node = node->next) {
        const xmlChar* text = nullptr;
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            text = node->content;
        } else if (node->type == XML_ENTITY_REF_NODE) {
            if (!Count(1, NameLength(node), count)) return false;
            if (const xmlEntity* entity = xmlGetDocEntity(doc, node->name)) {
                if (!JoinBounded(doc, entity->children, count, value)) return false;
            } else {
                text = node->content;
            }
        }
        if (!text) continue;
        const size_t length = std::strlen(reinterpret_cast<const char*>(text));
        if (!CountBytes(length, count)) return false;
        value.append(reinterpret_cast<const char*>(text), length);
    }
    return true;
}

// The attribute's whole value, widened; false when it expands past a bound.
static bool AttributeValue(const xmlAttr* attr, ExpansionCount& count, std::wstring& value) {
    std::string joined;
    count.value = 0;
    if (!JoinBounded(attr->doc, attr->children, count, joined)) return false;
    value = WidenBytes(joined.c_str());
    return true;
}

// The widened value of element's attribute called name, or "" when it has
// none; false when a value expands past a bound. Only elements have
// attributes: a node of another kind that the walk meets by name (a
// declaration behind an entity reference) gives "".
static bool GetXmlAttribute(const xmlNode* element, const char* name, ExpansionCount& count, std::wstring& value) {
    value.clear();
    if (element->type != XML_ELEMENT_NODE) return true;
    for (const xmlAttr* attr = element->properties; attr; attr = attr->next) {
        if (!CountStep(1, count)) return false;
        if (attr->type == XML_ATTRIBUTE_NODE && attr->name &&
            std::strcmp(reinterpret_cast<const char*>(attr->name), name) == 0 && !AttributeValue(attr, count, value))
            return false;
    }
    return true;
}

// A path is read only from a CDATA section that is the element's first child.
static void ReadCdataPath(const xmlNode* element, std::wstring& path) {
    const xmlNode* first = element->children;
    if (first && first->type == XML_CDATA_SECTION_NODE) path = Widen(first->content);
}

// False when a leaf's value, or the walk, passes a bound.
static bool ReadDevice(const xmlNode* device, ExpansionCount& count, CRefDevice& entry) {
    static const struct {
        const char* name;
        std::wstring CRefDevice::*field;
    } kLeaves[] = {
        {"type", &CRefDevice::type},         {"device_id", &CRefDevice::device_id},
        {"model", &CRefDevice::model},       {"firmware", &CRefDevice::firmware},
        {"bios", &CRefDevice::bios},         {"boot", &CRefDevice::boot},
        {"duration", &CRefDevice::duration},
    };
    for (const xmlNode* leaf = device->children; leaf; leaf = leaf->next) {
        if (!CountStep(1, count)) return false;
        for (const auto& known : kLeaves)
            if (NameIs(leaf, known.name) && !GetXmlAttribute(leaf, "value", count, entry.*known.field))
                return false;
    }
    return true;
}

static bool ReadDevices(const xmlNode* list, ExpansionCount& count, std::vector<CRefDevice>& devices) {
    for (const xmlNode* child = list->children; child; child = child->next) {
        if (!CountStep(1, count)) return false;
        if (!NameIs(child, "device")) continue;
        CRefDevice entry;
        if (!CountStep(kDeviceCost, count) || !ReadDevice(child, count, entry)) return false;
        devices.push_back(entry);
    }
    return true;
}

// Walks the document into catalogue; false when its values, or the walk,
// pass a bound.
static bool ReadCatalogue(const xmlDoc* doc, ExpansionCount& count, CReference& catalogue) {
    const xmlNode* node = doc->children;
    while (node) {
        if (!CountStep(1, count)) return false;
        if (NameIs(node, "taverin_fchba_reference")) {
            node = node->children;  // descend; the root's followers are never visited
            continue;
        }
        if (NameIs(node, "discovery_app_path")) ReadCdataPath(node, catalogue.discovery_app_path);
        else if (NameIs(node, "installer_app_path")) ReadCdataPath(node, catalogue.installer_app_path);
        else if (NameIs(node, "devices") && !ReadDevices(node, count, catalogue.devices)) return false;
        node = node->next;
    }
    return true;
}

bool CReference::Load() {
    struct stat st;
    // A FIFO or a device would block the parser in open: only a regular
    // file, or a link to one, is read.
    if (stat(kCatalogue, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    xmlInitParser();
    xmlDoc* doc = xmlParseFile(kCatalogue);
    if (!doc) return false;

    // Read into a copy, so that a refused catalogue leaves this one as it was.
    CReference read = *this;
    ExpansionCount count;
    const bool complete = ReadCatalogue(doc, count, read);
    xmlFreeDoc(doc);  // every value has been copied
    xmlCleanupParser();
    if (!complete) {
        if (count.catalogueFull)
            std::fprintf(stderr, "%s: its values together expand past the limit of %zu bytes\n", kCatalogue,
                         kMaxExpandedCatalogue);
        else
            std::fprintf(stderr, "%s: a value expands past the limit of %zu bytes\n", kCatalogue, kMaxExpandedValue);
        return false;
    }
    *this = std::move(read);
    return true;
}
