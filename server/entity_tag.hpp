// HTTP validators for the world table's answers: a page, the JSON or the logo
// carries an ETag made from its body, and a client that already holds that
// body gets 304 without it.
#pragma once

#include <string>
#include <string_view>

namespace vantorel::server {

/// A strong entity tag of a body, quotes included: "\"" + 16 hex digits + "\""
/// (64-bit FNV-1a). Equal bodies give equal tags on every server of a table,
/// so a load balancer may send the revalidation to any of them.
std::string EntityTagOf(std::string_view body);

/// True when an If-None-Match header names tag (RFC 9110: a list of tags, weak
/// ones compared by their opaque part, or "*"). An empty header names none.
bool IfNoneMatchNames(std::string_view header, std::string_view tag);

} // namespace vantorel::server
