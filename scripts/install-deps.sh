#!/usr/bin/env bash
# Installs the Debian packages that are missing: those to build and run the
# application, and with "test" also those that the tests and the benchmark
# use. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-dev-tools
    libpodofo-dev libfontconfig-dev libfreetype-dev
    # HarfBuzz subsets the embedded fonts.
    libharfbuzz-dev
    # The preview's colours: LittleCMS and Ghostscript's default CMYK profile.
    liblcms2-dev libgs-common
    # The form's default "Arial" is Liberation Sans where Arial is missing.
    fonts-liberation fonts-dejavu-core
    # The toolkit's own dialogs and buttons in Czech.
    qttranslations5-l10n
)
if [ "${1:-}" = test ]; then
    packages+=(
        libpoppler-qt5-dev poppler-utils qpdf
        # A font checker that is not ours, for the embedded font programs.
        python3-fonttools
        # Fonts whose first face cannot be embedded: CFF before Type 1, CFF only;
        # and one without Latin digits.
        fonts-urw-base35 fonts-cantarell fonts-droid-fallback
        # An iCalendar parser that is not ours, for the phone calendars, and a
        # calendar program that imports them by UID as a phone does.
        python3-icalendar khal
        # Renders a PDF's CMYK to compare with the preview's colours, and
        # print-shop files with their bleed.
        ghostscript
        # A print shop's preflight of the PDF/X files, by a reader not ours.
        python3-pikepdf
        libbenchmark-dev
        desktop-file-utils appstream binutils-mingw-w64-x86-64
        # Compiles the type of setup files as an installed package has it.
        shared-mime-info
        # The AppStream screenshot taken from the window on a virtual screen.
        xvfb xauth xdotool imagemagick
        # Checks the .deb as Debian would.
        lintian
    )
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
