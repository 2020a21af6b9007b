# Every folder of src/ is one static library whose sources are globbed, so a
# new file needs no edit here. A module is declared once its folder has
# sources; a missing folder or dependency stops the configuration.

function(listgen_require_targets what)
  foreach(d IN LISTS ARGN)
    if(NOT TARGET ${d})
      message(FATAL_ERROR "${what}: no target named '${d}'")
    endif()
  endforeach()
endfunction()

function(listgen_module name)
  cmake_parse_arguments(M "" "DIR" "QT;DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${M_DIR}/*.cpp
       ${PROJECT_SOURCE_DIR}/${M_DIR}/*.h
       ${PROJECT_SOURCE_DIR}/${M_DIR}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/\\.")
  set(has_cpp FALSE)
  foreach(s IN LISTS sources)
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(NOT has_cpp)
    message(FATAL_ERROR "${name}: no sources in ${M_DIR}")
  endif()
  listgen_require_targets(${name} ${M_DEPS})
  add_library(${name} STATIC ${sources})
  # Static archives, compiled position independent (Qt's targets ask every
  # user for -fPIC), so hosts and plugins may link them into shared objects.
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/generated>
    $<INSTALL_INTERFACE:include/listgen>)
  foreach(q IN LISTS M_QT)
    target_link_libraries(${name} PUBLIC Qt6::${q})
  endforeach()
  target_link_libraries(${name} PUBLIC ${M_DEPS})
  listgen_pch(${name} ${M_QT})
endfunction()

# Precompiled Qt headers: the Core set for the headless core, the widget set
# for targets that link Qt Widgets. With GCC the targets of a set reuse one
# header instead of compiling one each (modules, test programs, tools). GCC
# takes a header only where every definition it was built with is defined
# the same way, so the header of a set comes from the first target with
# just that set's Qt modules (listgen_base: Core; listgen_ui: Core, Gui,
# Widgets); extra definitions of the users (QT_PRINTSUPPORT_LIB, the tests'
# own) are not read by these headers. Targets declared before it, and every
# target under clang, which refuses any difference, build their own.
function(listgen_pch target)
  set(kind core)
  set(own Core)
  set(headers <QtCore/QString> <QtCore/QStringList> <QtCore/QVariant> <QtCore/QList>
              <QtCore/QHash> <QtCore/QDateTime> <QtCore/QObject> <memory> <vector> <string>)
  if("Widgets" IN_LIST ARGN)
    set(kind widgets)
    set(own Core Gui Widgets)
    list(APPEND headers <QtWidgets/QWidget> <QtWidgets/QDialog> <QtGui/QPainter>)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    get_property(donor GLOBAL PROPERTY LISTGEN_PCH_${kind})
    if(donor)
      target_precompile_headers(${target} REUSE_FROM ${donor})
      return()
    endif()
    if("${ARGN}" STREQUAL "${own}")
      set_property(GLOBAL PROPERTY LISTGEN_PCH_${kind} ${target})
    endif()
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# One test executable per folder of tests/; every TEST becomes a CTest test.
function(listgen_tests name)
  cmake_parse_arguments(T "GUI;POSTGRES" "DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${T_DIR}/*.cpp ${PROJECT_SOURCE_DIR}/${T_DIR}/*.h
       ${PROJECT_SOURCE_DIR}/${T_DIR}/*.qrc)
  if(NOT sources)
    message(FATAL_ERROR "${name}: no sources in ${T_DIR}")
  endif()
  listgen_require_targets(${name} ${T_DEPS})
  set(deps ${T_DEPS})
  add_executable(${name} ${sources})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE listgen_test_gui_main)
  else()
    target_link_libraries(${name} PRIVATE listgen_test_core_main)
  endif()
  target_link_libraries(${name} PRIVATE ${deps} GTest::gtest)
  target_compile_definitions(${name} PRIVATE
    LISTGEN_SOURCE_DIR="${PROJECT_SOURCE_DIR}" LISTGEN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(T_GUI)
    listgen_pch(${name} Widgets)
  else()
    listgen_pch(${name})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LISTGEN_TEST_TMP=${PROJECT_BINARY_DIR}/testtmp"
    DISCOVERY_TIMEOUT 60)
  # POSTGRES: the whole program once more on PostgreSQL, as one test, so that
  # it starts one throwaway cluster for all its tests.
  if(T_POSTGRES)
    add_test(NAME ${name}.postgresql COMMAND ${name})
    set_tests_properties(${name}.postgresql PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LISTGEN_TEST_TMP=${PROJECT_BINARY_DIR}/testtmp;LISTGEN_TEST_BACKEND=postgresql")
  endif()
endfunction()
