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

// Joins a node list as libxml2 joins an attribute's value: text and CDATA as
// they are, an entity reference by its entity's nodes in turn (a reference
// to no declared entity by its own content). False as soon as the running
// total passes kMaxExpandedValue; value is then left part-way.
static bool JoinBounded(const xmlDoc* doc, const xmlNode* nodes, size_t& total, std::string& value) {
    for (const xmlNode* node = nodes; node; node = node->next) {
        const xmlChar* text = nullptr;
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            text = node->content;
        } else if (node->type == XML_ENTITY_REF_NODE) {
            if (++total > kMaxExpandedValue) return false;
            if (const xmlEntity* entity = xmlGetDocEntity(doc, node->name)) {
                if (!JoinBounded(doc, entity->children, total, value)) return false;
            } else {
                text = node->content;
            }
        }
        if (!text) continue;
        const size_t length = std::strlen(reinterpret_cast<const char*>(text));
        if (length > kMaxExpandedValue - total) return false;
        total += length;
        value.append(reinterpret_cast<const char*>(text), length);
    }
    return true;
}

// The attribute's whole value, widened; false when it expands past the bound.
static bool AttributeValue(const xmlAttr* attr, std::wstring& value) {
    std::string joined;
    size_t total = 0;
    if (!JoinBounded(attr->doc, attr->children, total, joined)) return false;
    value = WidenBytes(joined.c_str());
    return true;
}

// The widened value of element's attribute called name, or "" when it has
// none; false when a value expands past the bound. Only elements have
// attributes: a node of another kind that the walk meets by name (a
// declaration behind an entity reference) gives "".
static bool GetXmlAttribute(const xmlNode* element, const char* name, std::wstring& value) {
    value.clear();
    if (element->type != XML_ELEMENT_NODE) return true;
    for (const xmlAttr* attr = element->properties; attr; attr = attr->next)
        if (attr->type == XML_ATTRIBUTE_NODE && attr->name &&
            std::strcmp(reinterpret_cast<const char*>(attr->name), name) == 0 && !AttributeValue(attr, value))
            return false;
    return true;
}

// A path is read only from a CDATA section that is the element's first child.
static void ReadCdataPath(const xmlNode* element, std::wstring& path) {
    const xmlNode* first = element->children;
    if (first && first->type == XML_CDATA_SECTION_NODE) path = Widen(first->content);
}

// False when a leaf's value expands past the bound.
static bool ReadDevice(const xmlNode* device, CRefDevice& entry) {
    static const struct {
        const char* name;
        std::wstring CRefDevice::*field;
    } kLeaves[] = {
        {"type", &CRefDevice::type},         {"device_id", &CRefDevice::device_id},
        {"model", &CRefDevice::model},       {"firmware", &CRefDevice::firmware},
        {"bios", &CRefDevice::bios},         {"boot", &CRefDevice::boot},
        {"duration", &CRefDevice::duration},
    };
    for (const xmlNode* leaf = device->children; leaf; leaf = leaf->next)
        for (const auto& known : kLeaves)
            if (NameIs(leaf, known.name) && !GetXmlAttribute(leaf, "value", entry.*known.field)) return false;
    return true;
}

static bool ReadDevices(const xmlNode* list, std::vector<CRefDevice>& devices) {
    for (const xmlNode* child = list->children; child; child = child->next) {
        if (!NameIs(child, "device")) continue;
        CRefDevice entry;
        if (!ReadDevice(child, entry)) return false;
        devices.push_back(entry);
    }
    return true;
}

// Walks the document into catalogue; false when a value expands past the bound.
static bool ReadCatalogue(const xmlDoc* doc, CReference& catalogue) {
    const xmlNode* node = doc->children;
    while (node) {
        if (NameIs(node, "taverin_fchba_reference")) {
            node = node->children;  // descend; the root's followers are never visited
            continue;
        }
        if (NameIs(node, "discovery_app_path")) ReadCdataPath(node, catalogue.discovery_app_path);
        else if (NameIs(node, "installer_app_path")) ReadCdataPath(node, catalogue.installer_app_path);
        else if (NameIs(node, "devices") && !ReadDevices(node, catalogue.devices)) return false;
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
    const bool complete = ReadCatalogue(doc, read);
    xmlFreeDoc(doc);  // every value has been copied
    xmlCleanupParser();
    if (!complete) {
        std::fprintf(stderr, "%s: a value expands past the limit of %zu bytes\n", kCatalogue, kMaxExpandedValue);
        return false;
    }
    *this = std::move(read);
    return true;
}
