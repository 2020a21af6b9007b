# What `cmake --install` gives a host, and the Debian package built from it.
#
#   include/listgen/<folder>/<header>.h   the public headers (below)
#   lib/liblistgen_*.a                    the module archives (static, PIC)
#   lib/cmake/listgen/                    listgenConfig.cmake, its version file
#                                         and the exported targets
#   bin/listgen                           the command-line tool (init-db, demo-db, …)
#
# A host writes
#   find_package(listgen 1.0 REQUIRED)
#   target_link_libraries(app PRIVATE listgen::widgets)   # or listgen::core
# and includes <listgen/controls/listwizard.h> and its kind.
#
# The string tables and the store's schema are compiled into the archives as
# Qt resources, so an installed library needs no data files at run time.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The public headers, relative to src/. Everything a host touches and every
# header these include; the rest of src/ stays private. A public header that
# includes a private one stops the configuration (below), and `./run example`
# compiles every installed header on its own against the installed tree.
set(LISTGEN_PUBLIC_HEADERS
  # the library-wide context and the services a host sets
  store/context.h
  store/errors.h
  store/enums.h
  platform/strings.h
  platform/message.h
  platform/runtimeerror.h
  platform/errorhandler.h
  platform/propertybag.h
  platform/dao/dao.h
  platform/jetsql/jettypes.h
  platform/jetsql/statementkind.h
  platform/jetsql/translate.h
  catalogue/filehelpers.h
  filters/queryfilter.h
  ui/messagebox.h
  ui/errordialog.h
  # the public controls
  controls/listwizard.h
  controls/smalllistwizard.h
  controls/services.h
  controls/assistants.h
  admin/listwizardauthunit.h
  filters/widgets/vquickpick.h
  filters/widgets/vw_querycontainer.h
  filters/widgets/vw_filtercontrol.h
  filters/widgets/vw_querytextfilter.h
  filters/widgets/vw_querycheckbox.h
  filters/widgets/vw_querylistboxfilter.h
  filters/widgets/vw_querytlistboxfilter.h
  filters/widgets/vw_listboxfilterbase.h
  filters/widgets/vw_queryfilterbase.h
  filters/widgets/queryfiltercontrol.h
)
# Written by the build (configure_file in the top-level CMakeLists.txt).
set(LISTGEN_GENERATED_HEADERS platform/version.h)

# Every project include of a public header must name a public header: a host
# has only those.
include(${CMAKE_CURRENT_LIST_DIR}/PublicHeaders.cmake)
listgen_public_header_problems(problems ${PROJECT_SOURCE_DIR}/src ${LISTGEN_PUBLIC_HEADERS})
if(problems)
  message(FATAL_ERROR "public headers that a host could not compile:${problems}\n"
    "Add the header to LISTGEN_PUBLIC_HEADERS in cmake/ListgenPackage.cmake, or keep the "
    "include out of the public header (a forward declaration, a d-pointer).")
endif()

foreach(h IN LISTS LISTGEN_PUBLIC_HEADERS)
  get_filename_component(dir ${h} DIRECTORY)
  install(FILES src/${h} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/listgen/${dir} COMPONENT development)
endforeach()
foreach(h IN LISTS LISTGEN_GENERATED_HEADERS)
  get_filename_component(dir ${h} DIRECTORY)
  install(FILES ${PROJECT_BINARY_DIR}/generated/${h} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/listgen/${dir}
          COMPONENT development)
endforeach()

# The two targets a host links. listgen::core is the headless part (store,
# catalogue, report, database layer, Jet SQL, the filter models);
# listgen::widgets adds the controls, dialogs, filter controls,
# administration and the report engine.
add_library(listgen_package_core INTERFACE)
target_link_libraries(listgen_package_core INTERFACE listgen_filters listgen_core)
add_library(listgen_package_widgets INTERFACE)
target_link_libraries(listgen_package_widgets INTERFACE listgen listgen_package_core)
foreach(t listgen_package_core listgen_package_widgets)
  # <listgen/controls/listwizard.h>; the headers themselves include each
  # other relative to include/listgen.
  target_include_directories(${t} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
endforeach()
set_target_properties(listgen_package_core PROPERTIES EXPORT_NAME core)
set_target_properties(listgen_package_widgets PROPERTIES EXPORT_NAME widgets)
add_library(listgen::core ALIAS listgen_package_core)
add_library(listgen::widgets ALIAS listgen_package_widgets)

set(LISTGEN_EXPORTED_TARGETS
  listgen_base listgen_jetsql listgen_dao listgen_xlsx listgen_store listgen_catalogue listgen_report
  listgen_core listgen_filters listgen_reportengine listgen_ui listgen_filterwidgets listgen_admin
  listgen_controls listgen listgen_package_core listgen_package_widgets)
install(TARGETS ${LISTGEN_EXPORTED_TARGETS} EXPORT listgenTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(TARGETS listgen_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT development)

set(LISTGEN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/listgen)
install(EXPORT listgenTargets NAMESPACE listgen:: DESTINATION ${LISTGEN_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/listgenConfig.cmake.in ${PROJECT_BINARY_DIR}/listgenConfig.cmake
                              INSTALL_DESTINATION ${LISTGEN_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/listgenConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/listgenConfig.cmake ${PROJECT_BINARY_DIR}/listgenConfigVersion.cmake
        DESTINATION ${LISTGEN_CMAKE_DIR} COMPONENT development)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)

# ---- Debian package: cpack -G DEB in the build folder ------------------------
# The archives are static, so a host building against them needs the
# development packages of what they link; the command-line tool's run-time
# libraries are found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME "liblistgen-dev")
set(CPACK_PACKAGE_VENDOR "listgen")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "listgen maintainers <listgen@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "libdevel")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-base-dev (>= 6.2), libsqlite3-dev, libpq-dev, libxlsxwriter-dev, zlib1g-dev, pkg-config")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_INSTALL_DIRECTORY listgen)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
