# Writes the site's service worker, SITE_DIR/sw.js, from web/sw.js.in: the
# files it keeps (the page as "./", every file of the site but the worker and
# the art, the sounds among them, and the art as ART_FILES lists it) and its cache's name, a hash of
# those files' names and bytes, so that any change to the site makes a new
# cache and the same site the same worker. Included by WebSite.cmake, or run
# on a site alone: cmake -DSOURCE_DIR=... -DSITE_DIR=... -DART_FILES=... -P
cmake_minimum_required(VERSION 3.16)

file(GLOB_RECURSE kept RELATIVE ${SITE_DIR} ${SITE_DIR}/*)
list(FILTER kept EXCLUDE REGEX "^(gfx/.*|sw\\.js|index\\.html)$")
foreach(art ${ART_FILES})
  list(APPEND kept gfx/${art})
endforeach()
list(SORT kept)

set(hashes "index.html")
file(SHA256 ${SITE_DIR}/index.html hash)
string(APPEND hashes " ${hash}\n")
set(HASHED_FILES_JS "")
set(NAMED_FILES_JS "'./'")
set(separator "")
foreach(name ${kept})
  file(SHA256 ${SITE_DIR}/${name} hash)
  string(APPEND hashes "${name} ${hash}\n")
  # WebSite.cmake's hashed_copy names: BASE.HASH.EXT.
  if(name MATCHES "^[^/.]+\\.[0-9a-f]+\\.[a-z]+$")
    string(APPEND HASHED_FILES_JS "${separator}'${name}'")
    set(separator ", ")
  else()
    string(APPEND NAMED_FILES_JS ", '${name}'")
  endif()
endforeach()
string(SHA256 WORKER_VERSION "${hashes}")
string(SUBSTRING ${WORKER_VERSION} 0 16 WORKER_VERSION)
configure_file(${SOURCE_DIR}/web/sw.js.in ${SITE_DIR}/sw.js @ONLY)
