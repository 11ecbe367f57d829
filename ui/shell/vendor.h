#pragma once
// Where the vendor's pages live and how its web site is named in messages.
#include <QString>

inline QString VendorWebSiteName() { return "Quelvatron"; }
inline QString VendorWebSiteUrl() { return "https://www.quelvatron.example/"; }
inline QString VendorDownloadUrl() { return "https://www.quelvatron.example/download/"; }
inline QString VendorDocsUrl() { return "https://www.quelvatron.example/docs/"; }
inline QString VendorProductUrl() { return "https://www.quelvatron.example/product/"; }
inline QString VendorCopyright() { return "Copyright \u00A9 2011-2026 the Quelvatron developers"; }
