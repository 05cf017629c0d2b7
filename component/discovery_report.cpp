// Builds the self-discovery document with libxml2 and saves it indented.
// Every leaf is an empty element carrying its text in a "value" attribute;
// wide values are narrowed to their low bytes, which gives catalogue text
// back byte for byte.
#include <libxml/tree.h>

#include "base_cmp.h"
#include "text_conversion.h"

static const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

static void AddLeaf(xmlNode* parent, const char* name, const std::wstring& value) {
    xmlNode* leaf = xmlNewChild(parent, nullptr, X(name), nullptr);
    xmlNewProp(leaf, X("value"), X(NarrowLowBytes(value).c_str()));
}

static void AddFwItem(xmlNode* device, const CFwItem& item) {
    xmlNode* node = xmlNewChild(device, nullptr, X("fw_item"), nullptr);
    AddLeaf(node, "type", item.type);
    AddLeaf(node, "firmware_id", item.firmware_id);
    AddLeaf(node, "version", item.version);
    AddLeaf(node, "active_version", item.active_version);
    AddLeaf(node, "action", item.action);
    AddLeaf(node, "duration", item.duration);
    AddLeaf(node, "message", item.message);
    AddLeaf(node, "shared", item.shared);
}

static void AddDevice(xmlNode* devices, const CDevice& device) {
    xmlNode* node = xmlNewChild(devices, nullptr, X("device"), nullptr);
    AddLeaf(node, "device_id", device.device_id);
    AddLeaf(node, "product_id", device.product_id);
    AddLeaf(node, "busnumber", device.busnumber);
    AddLeaf(node, "funcnumber", device.funcnumber);
    for (const CFwItem& item : device.fw_items) AddFwItem(node, item);
}

bool CBaseCmp::WriteDiscoveryXml() {
    xmlDoc* doc = xmlNewDoc(nullptr);
    if (!doc) return false;
    xmlNode* root = xmlNewNode(nullptr, X("zorv_rom_discovery"));
    xmlNewProp(root, X("version"), X("2.0.0.0"));
    xmlDocSetRootElement(doc, root);

    AddLeaf(root, "type", discovery.type);
    AddLeaf(root, "alt_name", discovery.alt_name);
    AddLeaf(root, "version", discovery.version);
    AddLeaf(root, "takes_effect", discovery.takes_effect);
    xmlNode* devices = xmlNewChild(root, nullptr, X("devices"), nullptr);
    for (const CDevice& device : discovery.devices) AddDevice(devices, device);

    // A report that could not be saved is a failure, not a stale success.
    const bool saved = xmlSaveFormatFile(discoveryXmlPath.c_str(), doc, 1) >= 0;
    xmlFreeDoc(doc);
    return saved;
}
