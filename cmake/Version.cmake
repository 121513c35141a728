# What Windows shows about the programs: the product's and the maker's name and the version
# resource of every program; the version number itself is the one in project() of the top
# CMakeLists.txt. The setup takes the same names for its entry in "Programs and Features".
set(ORVEX_PRODUCT_NAME "Переносной измерительный комплекс «МИРЕЛ»")
set(ORVEX_COMPANY "МИРЕЛ")
set(ORVEX_COPYRIGHT "© ${ORVEX_COMPANY}, 2026")

# orvex_version_info(<target> <description>): a Russian version resource (file and product
# version, description, product name, maker, copyright) for an executable or a DLL, shown in
# Explorer's properties. A console program also gets the manifest that runs it with the rights of
# whoever starts it (orvex, a windowed program, carries its own manifest with the same request).
function(orvex_version_info target description)
  get_target_property(kind ${target} TYPE)
  get_target_property(windowed ${target} WIN32_EXECUTABLE)
  set(manifest "")
  if(kind STREQUAL "SHARED_LIBRARY")
    set(file_type VFT_DLL)
    set(file_name ${target}.dll)
  else()
    set(file_type VFT_APP)
    set(file_name ${target}.exe)
    if(NOT windowed)
      set(manifest "1 24 \"${CMAKE_SOURCE_DIR}/cmake/console.manifest\"")
    endif()
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/cmake/console.manifest")
endfunction()
