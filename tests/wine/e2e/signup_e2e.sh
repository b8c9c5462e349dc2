#!/bin/bash
# signup_e2e.sh TEST_BUILD_DIR PROGRAMS_BUILD_DIR
# The real cnxassist.exe under Wine with the sign-up program's stand-in (ISIGNUP.EXE): the
# existing subscriber's path (IdConnexion, IdMail, DejaAbonne), the new subscription
# (PreInscription, Inscription), and a sign-up program that leaves the default connection as it
# was (string 28). The wizard waits on the process list while the stand-in runs; the sign-up
# files, the registry and the removal of modele_0.ins are checked.
set -euo pipefail
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=tests/wine/wine-env.sh
source "$here/../wine-env.sh"
# shellcheck source=tests/wine/kit-helpers.sh
source "$here/../kit-helpers.sh"

win32_dir=$1
programs_dir=$2
driver=$win32_dir/tests/driver/testdrv.exe
out=$wine_artefacts/signup
kit=$out/kit
rm -rf "$out"
make_wine_user_dir "$out"
make_wine_user_dir "$kit"

fail() {
    echo "signup_e2e: $*" >&2
    exit 1
}

cp "$programs_dir/cnxassist/cnxassist.exe" "$kit/"
cp "$programs_dir/tools/isignup/ISIGNUP.exe" "$kit/ISIGNUP.EXE"

# The existing subscriber: the stand-in takes 3 s, long enough to look at the files meanwhile.
{
    general_section
    cat << 'INI'
[IdentWindow]
Suivants=IdConnexion1
Message=Système non supporté
[IdConnexion1]
Suivants=IdMail1
Description=connexion.txt
NbSaisies=3
PresenceSuivant=2
PresenceQuitter=2
[IdMail1]
Suivants=DejaAbonne1
Description=courrier.txt
NbSaisies=2
PresenceSuivant=2
PresencePrecedent=2
[DejaAbonne1]
Suivants=EtapeFin
Description=attente.txt
PresenceSuivant=1
PresencePrecedent=1
PresenceQuitter=1
[EtapeFin]
Suivants=EtapeFin
Description=fini.txt
PresenceSuivant=1
PresenceQuitter=3
INI
} | kit_file cfg.ini

# The new subscription, its Inscription step named Inscription2.
{
    general_section
    cat << 'INI'
[IdentWindow]
Suivants=PreInscription1
Message=Système non supporté
[PreInscription1]
Suivants=Inscription2
Description=prefixe.txt
PresenceSuivant=2
PresenceQuitter=2
[Inscription2]
Suivants=EtapeFin
Description=attente.txt
TelvoraIsp=nouveau.ins
[Inscription]
Register_Phone_Number=0860111222
[EtapeFin]
Suivants=EtapeFin
Description=fini.txt
PresenceSuivant=1
PresenceQuitter=3
INI
} | kit_file cfgnew.ini

kit_file connexion.txt << 'PAGE'
fenetre(0,300,100)
((saisie,1,300,25,"champ") sur ((saisie,2,300,25,"champ") sur (saisie,3,300,25,"champ")))
PAGE
kit_file courrier.txt << 'PAGE'
fenetre(0,300,100)
((saisie,1,300,25,"champ") sur (saisie,2,300,25,"champ"))
PAGE
kit_file prefixe.txt << 'PAGE'
fenetre(0,300,100)
((ctexte,9,300,50,"Préfixe pour obtenir une ligne extérieure :") sur (saisie,1,300,25,"champ"))
PAGE
kit_file attente.txt << 'PAGE'
fenetre(0,300,100)
(ctexte,9,300,100,"Création de votre accès en cours, veuillez patienter…")
PAGE
kit_file fini.txt << 'PAGE'
fenetre(0,300,100)
(ctexte,9,300,100,"Votre accès Telvora est prêt.")
PAGE
kit_file modele.ins << 'INS'
[Entry]
Entry_Name=Telvora Abonné
[StandIn]
Outcome=created,3000
INS
kit_file nouveau.ins << 'INS'
[Entry]
Entry_Name=Telvora Nouvel
[StandIn]
Outcome=created,1500
INS
chown -R "$wine_user:" "$kit" 2> /dev/null || true

run_driver() {
    bash "$here/../run-in-wine" "$driver" "$@"
}
record='HKCU\Software\Telvora\ISIGNUP stand-in'
reg delete 'HKCU\RemoteAccess' /f > /dev/null 2>&1 || true
reg add 'HKCU\RemoteAccess' /v InternetProfile /t REG_SZ /d 'Ancienne' /f > /dev/null

# 1. The existing subscriber.
run_driver "$here/signup_e2e.txt" KIT="$kit" EXE="$kit/cnxassist.exe" ARTEFACTS="$out" |
    tee "$out/existing.log"
[ "${PIPESTATUS[0]}" = 0 ] || fail "the existing subscriber's path failed (log: $out/existing.log)"
[ ! -e "$kit/modele_0.ins" ] || fail "modele_0.ins is still there after the run"
expect_value 'HKCU\RemoteAccess' InternetProfile REG_SZ 'Telvora Abonné'
expect_value "$record" Password REG_SZ motdepasse
expect_value "$record" Email_address REG_SZ 'jdupont@telvora\.fr'
expect_value "$record" POP_Logon_Password REG_SZ courrier
expect_value "$record" File REG_SZ '.*\\modele_0\.ins'
# The program and the sign-up file: the stand-in's C runtime counted exactly two arguments.
expect_value "$record" ArgumentCount REG_DWORD 0x2
expect_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings' \
    EnableAutoDial REG_DWORD 0x1
expect_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings' \
    GlobalUserOffline REG_DWORD 0x0

# 2. The new subscription: the prefix goes before the registration number.
cat > "$out/new.txt" << 'SCRIPT'
timeout 15000
start cwd=${KIT} ${EXE} /new
wait-window class=#32770 title="Connexion à Telvora"
type 23046 "0,"
click 1064
expect 1063 enabled=0
expect 1064 enabled=0
expect 1065 enabled=0
expect-file ${KIT}\nouveau.ins text~="Phone_Number=0,0860111222"
expect 1065 enabled=1 focused=1 timeout=20000
screenshot ${ARTEFACTS}/nouveau_fini.bmp
click 1065
msgbox press=IDYES
wait-exit code=1
SCRIPT
run_driver "$out/new.txt" KIT="$kit" EXE="$kit/cnxassist.exe" ARTEFACTS="$out" > "$out/new.log" ||
    fail "the new subscription failed (log: $out/new.log)"
expect_value 'HKCU\RemoteAccess' InternetProfile REG_SZ 'Telvora Nouvel'
expect_value "$record" Phone_Number REG_SZ '0,0860111222'
expect_value "$record" File REG_SZ '.*\\nouveau\.ins'

# 3. A sign-up program that leaves the default connection as it was: string 28.
sed -i 's/^Outcome=.*/Outcome=unchanged,500\r/' "$kit/nouveau.ins"
cat > "$out/unchanged.txt" << 'SCRIPT'
timeout 15000
start cwd=${KIT} ${EXE} /new
wait-window class=#32770 title="Connexion à Telvora"
type 23046 ""
click 1064
msgbox caption="Fermeture de l'assistant de connexion à Telvora" text="Un problème est survenu. Impossible de continuer l'installation." press=IDOK
wait-exit code=1
SCRIPT
run_driver "$out/unchanged.txt" KIT="$kit" EXE="$kit/cnxassist.exe" > "$out/unchanged.log" ||
    fail "the string-28 ending failed (log: $out/unchanged.log)"
expect_value 'HKCU\RemoteAccess' InternetProfile REG_SZ 'Telvora Nouvel'

for shot in "$out"/*.bmp; do convert "$shot" "${shot%.bmp}.png"; done
echo "signup_e2e: passed (artefacts in $out)"
