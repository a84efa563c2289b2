# Whether the Python module can be built: Debian's own interpreter (PyQt6 is installed for
# it), its headers, sip-build with PyQt-builder, PyQt6's binding files (pyqt6-dev) and Qt 6's
# qmake6. Sets VARNEX_PYTHON_DEFAULT (ON when all are found), VARNEX_PYTHON_WHY (what was found,
# or what is missing), VARNEX_PYQT6_BINDINGS_DIR and VARNEX_QMAKE6; varnex_python_decide() then
# sets VARNEX_WITH_PYTHON from VARNEX_BUILD_PYTHON (AUTO, ON or OFF) and says what it chose.

function(varnex_python_decide)
  string(TOUPPER "${VARNEX_BUILD_PYTHON}" wanted)
  if(wanted STREQUAL "AUTO")
    set(with ${VARNEX_PYTHON_DEFAULT})
  elseif(VARNEX_BUILD_PYTHON)
    if(NOT VARNEX_PYTHON_DEFAULT)
      message(FATAL_ERROR "VARNEX_BUILD_PYTHON is ON, but the Python module cannot be built: "
                          "${VARNEX_PYTHON_WHY}")
    endif()
    set(with ON)
  else()
    set(with OFF)
    if(VARNEX_PYTHON_DEFAULT)
      set(VARNEX_PYTHON_WHY "VARNEX_BUILD_PYTHON=OFF")
    endif()
  endif()
  if(with)
    message(STATUS "Python module: built (${VARNEX_PYTHON_WHY})")
  else()
    message(STATUS "Python module: off (${VARNEX_PYTHON_WHY})")
  endif()
  set(VARNEX_WITH_PYTHON ${with} PARENT_SCOPE)
  set(VARNEX_WITH_PYTHON ${with} CACHE INTERNAL "Whether the Python module is built")
endfunction()

if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH
    "The Python interpreter of the Python module and its tests (Debian's, which has PyQt6)")
endif()

set(VARNEX_PYTHON_DEFAULT OFF)
set(VARNEX_PYTHON_WHY "")
if(VARNEX_SANITIZE OR VARNEX_THREAD_SANITIZE OR VARNEX_BUILD_FUZZERS)
  set(VARNEX_PYTHON_WHY "a sanitizer build: the interpreter cannot load an instrumented module")
  return()
endif()

find_package(Python3 3.9 COMPONENTS Interpreter Development.Module)
if(NOT Python3_Interpreter_FOUND OR NOT Python3_Development.Module_FOUND)
  set(VARNEX_PYTHON_WHY "no Python 3 interpreter with its headers (python3-dev)")
  return()
endif()

execute_process(
  COMMAND "${Python3_EXECUTABLE}" -c [[
import os, PyQt6.QtCore
import sipbuild, pyqtbuild
print(os.path.join(os.path.dirname(PyQt6.__file__), "bindings"), end=";")
print(PyQt6.QtCore.PYQT_VERSION_STR, end="")
]]
  RESULT_VARIABLE status OUTPUT_VARIABLE found ERROR_VARIABLE error
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  string(REGEX MATCH "No module named '[A-Za-z0-9_.]+'" missing "${error}")
  set(VARNEX_PYTHON_WHY "${Python3_EXECUTABLE}: ${missing} (python3-pyqt6, sip-tools, python3-sipbuild, python3-pyqtbuild)")
  return()
endif()
list(GET found 0 bindings)
list(GET found 1 pyqt_version)
if(NOT EXISTS "${bindings}/QtWidgets/QtWidgetsmod.sip")
  set(VARNEX_PYTHON_WHY "no binding files of PyQt6 ${pyqt_version} in ${bindings} (pyqt6-dev)")
  return()
endif()

if(TARGET Qt6::qmake)
  get_target_property(qmake Qt6::qmake IMPORTED_LOCATION)
endif()
if(NOT qmake OR NOT EXISTS "${qmake}")
  find_program(qmake qmake6 HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" NO_CACHE)
endif()
if(NOT qmake)
  set(VARNEX_PYTHON_WHY "no qmake6 of Qt 6 (qt6-base-dev-tools)")
  return()
endif()

set(VARNEX_PYQT6_BINDINGS_DIR "${bindings}")
set(VARNEX_QMAKE6 "${qmake}")
set(VARNEX_PYTHON_DEFAULT ON)
set(VARNEX_PYTHON_WHY "PyQt6 ${pyqt_version} binding files in ${bindings}, ${Python3_EXECUTABLE} ${Python3_VERSION}, ${qmake}")
