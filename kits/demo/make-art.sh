#!/usr/bin/env bash
# Draws the demonstration kit's pictures with ImageMagick. They are kept in the tree; run this
# again after changing how they look. The kit wizard's picture has a 256-colour palette, as kit
# pictures of the time had; the connection wizard's are 24-bit.
set -euo pipefail
cd "$(dirname "$0")"
font=DejaVu-Sans-Bold
# The kit wizard's banner, drawn at the top of every page.
convert -size 460x96 gradient:'#0b3a7e'-'#3f86d6' \
    -fill '#ffd23f' -draw 'circle 56,48 56,14' \
    -fill '#0b3a7e' -draw 'circle 56,48 56,26' \
    -fill '#ffd23f' -draw 'circle 56,48 56,36' \
    -font "$font" -fill white -pointsize 34 -annotate +108+52 'Telvora' \
    -font DejaVu-Sans -pointsize 15 -annotate +110+78 "L'Internet chez vous, tout simplement" \
    -colors 256 -type Palette -compress None BMP3:cd/bandeau_kit.bmp
# The connection wizard's side banner and the rule under its pages.
convert -size 130x300 gradient:'#3f86d6'-'#0b3a7e' \
    -fill '#ffd23f' -draw 'circle 65,60 65,26' \
    -fill '#3f86d6' -draw 'circle 65,60 65,38' \
    -fill '#ffd23f' -draw 'circle 65,60 65,48' \
    -font "$font" -fill white -pointsize 22 -gravity north -annotate +0+112 'Telvora' \
    -font DejaVu-Sans -pointsize 12 -annotate +0+146 'Connexion' \
    -annotate +0+162 'à Internet' \
    -type TrueColor BMP3:contenu/Connexion/bandeau.bmp
convert -size 430x3 xc:'#0b3a7e' -fill '#ffd23f' -draw 'rectangle 0,2 429,2' \
    -type TrueColor BMP3:contenu/Connexion/filet.bmp
