// Builds the self-discovery document with libxml2 and saves it indented.
// Every leaf is an empty element carrying its text in a "value" attribute;
// wide values are narrowed to their low bytes, which gives catalogue text
// back byte for byte.
#include <libxml/tree.h>

#include <cstdio>

#include "base_cmp.h"
#include "text_conversion.h"

namespace {

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// The value's bytes as the report carries them. XML cannot hold a control
// character other than TAB, LF and CR (a vendor library may give one), so
// each is written as its Unicode control picture, U+2400 plus its code.
std::string ReportText(const std::wstring& value) {
    std::string text;
    for (char c : NarrowLowBytes(value)) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
            text += "\xE2\x90";  // UTF-8 of U+2400 to U+241F: E2 90 80 to E2 90 9F
            text += static_cast<char>(0x80 + byte);
        } else {
            text += c;
        }
    }
    return text;
}

void AddLeaf(xmlNode* parent, const char* name, const std::wstring& value) {
    xmlNode* leaf = xmlNewChild(parent, nullptr, X(name), nullptr);
    xmlNewProp(leaf, X("value"), X(ReportText(value).c_str()));
}

// A record's leaves, in report order.
template <class Record>
struct Leaf {
    const char* name;
    std::wstring Record::*field;
};

const Leaf<CDiscovery> kHeaderLeaves[] = {
    {"type", &CDiscovery::type},
    {"alt_name", &CDiscovery::alt_name},
    {"version", &CDiscovery::version},
    {"takes_effect", &CDiscovery::takes_effect},
};
const Leaf<CDevice> kDeviceLeaves[] = {
    {"device_id", &CDevice::device_id},
    {"product_id", &CDevice::product_id},
    {"busnumber", &CDevice::busnumber},
    {"funcnumber", &CDevice::funcnumber},
};
const Leaf<CFwItem> kItemLeaves[] = {
    {"type", &CFwItem::type},
    {"firmware_id", &CFwItem::firmware_id},
    {"version", &CFwItem::version},
    {"active_version", &CFwItem::active_version},
    {"action", &CFwItem::action},
    {"duration", &CFwItem::duration},
    {"message", &CFwItem::message},
    {"shared", &CFwItem::shared},
};

template <class Record, size_t N>
void AddLeaves(xmlNode* parent, const Record& record, const Leaf<Record> (&leaves)[N]) {
    for (const Leaf<Record>& leaf : leaves) AddLeaf(parent, leaf.name, record.*leaf.field);
}

void AddDevice(xmlNode* devices, const CDevice& device) {
    xmlNode* node = xmlNewChild(devices, nullptr, X("device"), nullptr);
    AddLeaves(node, device, kDeviceLeaves);
    for (const CFwItem& item : device.fw_items)
        AddLeaves(xmlNewChild(node, nullptr, X("fw_item"), nullptr), item, kItemLeaves);
}

// Formats doc into exactly the file at path, the name taken as it is and
// never as a URI; true only when the whole report reached the file.
bool SaveIndented(xmlDoc* doc, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());  // on standard error, like the library's own failures
        return false;
    }
    const bool written = xmlDocFormatDump(file, doc, 1) >= 0;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace

bool CBaseCmp::WriteDiscoveryXml() {
    xmlDoc* doc = xmlNewDoc(nullptr);
    if (!doc) return false;
    xmlNode* root = xmlNewNode(nullptr, X("zorv_rom_discovery"));
    xmlNewProp(root, X("version"), X("2.0.0.0"));
    xmlDocSetRootElement(doc, root);

    AddLeaves(root, discovery, kHeaderLeaves);
    xmlNode* devices = xmlNewChild(root, nullptr, X("devices"), nullptr);
    for (const CDevice& device : discovery.devices) AddDevice(devices, device);

    // A report that could not be saved is a failure, not a stale success.
    const bool saved = SaveIndented(doc, discoveryXmlPath);
    xmlFreeDoc(doc);
    return saved;
}
