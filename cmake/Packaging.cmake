# The Debian packages: `./package.sh` configures a Release tree with
# CMAKE_INSTALL_PREFIX=/usr and runs CPack's DEB generator on it.

# Placeholders until the project has a web page and an address of its own.
set(VANTRELLE_HOMEPAGE "https://example.org/vantrelle" CACHE STRING "Project web page")
set(VANTRELLE_APPSTREAM_ID "org.example.Vantrelle" CACHE STRING "AppStream component id")
set(VANTRELLE_MAINTAINER "The Vantrelle developers <vantrelle@example.org>"
    CACHE STRING "Package maintainer")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrelle)
set(CPACK_PACKAGE_VENDOR "The Vantrelle developers")
# The project's version as the desk shows it, also the package's version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VANTRELLE_MAINTAINER})

# Two packages: the desk with the reference host, and the OLA output's module
# with OLA's client library (megabytes of dependencies a desk that sends no
# OLA output does without; the desk says "OLA: not installed" then). Every
# install() belongs to the desk unless it names the module's component.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME desk)
set(VANTRELLE_OLA_COMPONENT ola)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL desk ${VANTRELLE_OLA_COMPONENT})
set(CPACK_DEBIAN_DESK_PACKAGE_NAME vantrelle)
set(CPACK_DEBIAN_OLA_PACKAGE_NAME vantrelle-ola)
set(CPACK_DEBIAN_DESK_PACKAGE_RECOMMENDS vantrelle-ola)
# The module is built for this desk's build only; the library's own
# dependencies are added by dpkg-shlibdeps.
set(CPACK_DEBIAN_OLA_PACKAGE_DEPENDS "vantrelle (= ${PROJECT_VERSION})")
# Each description's first line is its summary.
set(CPACK_DEBIAN_DESK_DESCRIPTION
    "DMX fader desk for a lighting-control host
Vantrelle stands in for a hardware fader desk in front of a lighting-control
host program: one window with 32 faders, a bump button under each, and 16
page buttons that choose which 32 of the 512 channels of one DMX universe the
faders show. Every level change is handed to the host as one 512-byte frame.
.
The package also holds vantrelle-monitor, a reference host that prints every
frame the desk sends.")
set(CPACK_DEBIAN_OLA_DESCRIPTION
    "OLA output for the Vantrelle DMX fader desk
The module the desk loads to send its universe to olad, the Open Lighting
Architecture's daemon, when an OLA output is turned on (DMX Outputs, or
--ola on the command line). Without it the desk runs as before and shows
the OLA output as not installed.")

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VANTRELLE_HOMEPAGE})
# Dependencies come from the binaries themselves, through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders the package makes are 0755 whatever the umask of the build
# (package.sh also builds under umask 022, as dpkg-buildpackage does).
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
