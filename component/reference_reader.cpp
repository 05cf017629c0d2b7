// Reads reference.xml through libxml2's public node fields. The walk tests
// node names only, never types; what it does with document-level names,
// several devices lists and CDATA-first children is part of the format.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sys/stat.h>

#include <cstring>

#include "records.h"
#include "text_conversion.h"

static const char kCatalogue[] = "reference.xml";

static bool NameIs(const xmlNode* node, const char* name) {
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

static std::wstring Widen(const xmlChar* text) {
    return text ? WidenBytes(reinterpret_cast<const char*>(text)) : std::wstring();
}

// The attribute's whole value: its text and entity references joined, as
// libxml2 itself joins them.
static std::wstring AttributeValue(const xmlAttr* attr) {
    xmlChar* text = xmlNodeListGetString(attr->doc, attr->children, 1);
    std::wstring value = Widen(text);
    xmlFree(text);
    return value;
}

// The widened value of element's attribute called name, or "" when it has
// none. Only elements have attributes: a node of another kind that the walk
// meets by name (a declaration behind an entity reference) gives "".
std::wstring GetXmlAttribute(const xmlNode* element, const char* name) {
    std::wstring value;
    if (element->type != XML_ELEMENT_NODE) return value;
    for (const xmlAttr* attr = element->properties; attr; attr = attr->next)
        if (attr->type == XML_ATTRIBUTE_NODE && attr->name &&
            std::strcmp(reinterpret_cast<const char*>(attr->name), name) == 0)
            value = AttributeValue(attr);
    return value;
}

// A path is read only from a CDATA section that is the element's first child.
static void ReadCdataPath(const xmlNode* element, std::wstring& path) {
    const xmlNode* first = element->children;
    if (first && first->type == XML_CDATA_SECTION_NODE) path = Widen(first->content);
}

static CRefDevice ReadDevice(const xmlNode* device) {
    static const struct {
        const char* name;
        std::wstring CRefDevice::*field;
    } kLeaves[] = {
        {"type", &CRefDevice::type},         {"device_id", &CRefDevice::device_id},
        {"model", &CRefDevice::model},       {"firmware", &CRefDevice::firmware},
        {"bios", &CRefDevice::bios},         {"boot", &CRefDevice::boot},
        {"duration", &CRefDevice::duration},
    };
    CRefDevice entry;
    for (const xmlNode* leaf = device->children; leaf; leaf = leaf->next)
        for (const auto& known : kLeaves)
            if (NameIs(leaf, known.name)) entry.*known.field = GetXmlAttribute(leaf, "value");
    return entry;
}

static void ReadDevices(const xmlNode* list, std::vector<CRefDevice>& devices) {
    for (const xmlNode* child = list->children; child; child = child->next)
        if (NameIs(child, "device")) devices.push_back(ReadDevice(child));
}

bool CReference::Load() {
    struct stat st;
    // A FIFO or a device would block the parser in open: only a regular
    // file, or a link to one, is read.
    if (stat(kCatalogue, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    xmlInitParser();
    xmlDoc* doc = xmlParseFile(kCatalogue);
    if (!doc) return false;

    const xmlNode* node = doc->children;
    while (node) {
        if (NameIs(node, "taverin_fchba_reference")) {
            node = node->children;  // descend; the root's followers are never visited
            continue;
        }
        if (NameIs(node, "discovery_app_path")) ReadCdataPath(node, discovery_app_path);
        else if (NameIs(node, "installer_app_path")) ReadCdataPath(node, installer_app_path);
        else if (NameIs(node, "devices")) ReadDevices(node, devices);
        node = node->next;
    }
    xmlFreeDoc(doc);  // every value has been copied
    xmlCleanupParser();
    return true;
}
