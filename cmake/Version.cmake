# The product's name and the version resource of every program; the version number itself is
# the one in project() of the top CMakeLists.txt.
set(ORVEX_PRODUCT_NAME "Переносной измерительный комплекс «МИРЕЛ»")

# orvex_version_info(<target> <description>): a Russian version resource (file and product
# version, description, product name) for an executable or a DLL, shown in Explorer's properties.
function(orvex_version_info target description)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "SHARED_LIBRARY")
    set(file_type VFT_DLL)
    set(file_name ${target}.dll)
  else()
    set(file_type VFT_APP)
    set(file_name ${target}.exe)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
