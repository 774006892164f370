* string.asm: string space, temporaries, garbage collection and the string
* functions.
*
* A string is a descriptor (length, address of the characters). The
* characters of a string made while the program runs live in string space,
* from MEMSIZ down to FRETOP; a string written in the program text (a
* constant, DATA) stays there. A string being worked on has a temporary
* descriptor (TMPDSC, up to 10, reset at every statement).
*
* Entry points:
*   getspa   B = length -> X = room for it in string space (FRETOP moves
*            down); collects garbage when needed; Out of string space.
*   putnew   X = characters, B = length -> a new temporary is the value.
*   frestr   X = a descriptor -> X = characters, B = length. When it is the
*            newest temporary it is released, and its characters too when
*            they are the lowest in string space. Use them before the next
*            getspa.
*   poptmp   X = a descriptor: released when it is the newest temporary.
*   garbag   moves all strings in use to the top of string space.
* Functions: LEN ASC CHR$ LEFT$ RIGHT$ MID$ STR$ VAL STRING$ SPACE$ INSTR
* HEX$ OCT$ INKEY$ INPUT$; the statement MID$(...) =.

GCPTR   EQU $70D2           ; garbage collection: best address so far

getspa  PSHS B
        LDD <FRETOP
        SUBB ,S
        SBCA #0
        CMPD <STREND
        BLO .gc
.ok     STD <FRETOP
        TFR D,X
        PULS B,PC
.gc     JSR garbag
        LDD <FRETOP
        SUBB ,S
        SBCA #0
        CMPD <STREND
        BHS .ok
        JMP oserr

putnew  PSHS X
        LDX <TEMPPT
        CMPX #TMPEND
        LBHS sterr
        STB ,X
        PULS D
        STD 1,X
        STX <SDESC
        LEAX 3,X
        STX <TEMPPT
        LDA #3
        STA <VALTYP
        RTS

frestr  PSHS X
        LDX <TEMPPT
        LEAX -3,X
        CMPX ,S
        BNE .nt
        STX <TEMPPT
        LDX 1,X
        CMPX <FRETOP
        BNE .nt
        LDB [,S]
        ABX
        STX <FRETOP
.nt     PULS X
        LDB ,X
        LDX 1,X
        RTS

poptmp  PSHS X
        LDX <TEMPPT
        LEAX -3,X
        CMPX ,S
        BNE .r
        STX <TEMPPT
.r      PULS X,PC

* garbag: the string with the highest address below GCTOP is moved up to
* just below GCTOP, again and again; then FRETOP is the last one moved.
* Descriptors are in simple variables, string arrays, the temporaries and
* the saved DEF FN parameters.
garbag  PSHS D,X,Y,U
        LDX <MEMSIZ
        STX <GCTOP
.pass   LDD #0
        STD <GCBEST
        LDD <FRETOP
        SUBD #1
        STD <GCPTR
        LDX <VARTAB
.v      CMPX <ARYTAB
        BHS .arr
        LDA 2,X
        CMPA #3
        BNE .vn
        LEAU 3,X
        BSR gccand
.vn     LEAX VARLEN,X
        BRA .v
.arr    CMPX <STREND
        BHS .tmp
        LDA 2,X
        CMPA #3
        BNE .an
        LDB 5,X
        LSLB
        ADDB #6
        CLRA
        LEAU D,X
        LDD 3,X
        LEAY D,X
.ae     PSHS Y
        CMPU ,S++
        BHS .an
        BSR gccand
        LEAU 3,U
        BRA .ae
.an     LDD 3,X
        LEAX D,X
        BRA .arr
.tmp    LDU #TMPDSC
.t      CMPU <TEMPPT
        BHS .fn
        BSR gccand
        LEAU 3,U
        BRA .t
.fn     LDX #FNSAVE
.f      CMPX <FNSP
        BHS .move
        LDA 2,X
        CMPA #3
        BNE .fnn
        LEAU 3,X
        BSR gccand
.fnn    LEAX VARLEN,X
        BRA .f
.move   LDU <GCBEST
        BEQ .done
        LDB ,U
        CLRA
        LDX 1,U
        LEAX D,X            ; end of the string
        LDY <GCTOP
.cp     LDA ,-X
        STA ,-Y
        DECB
        BNE .cp
        STY 1,U
        STY <GCTOP
        LBRA .pass
.done   LDX <GCTOP
        STX <FRETOP
        PULS D,X,Y,U,PC

gccand  LDB ,U
        BEQ .r
        LDD 1,U
        CMPD <GCPTR
        BLS .r
        CMPD <GCTOP
        BHS .r
        STD <GCPTR
        STU <GCBEST
.r      RTS

* ---------------------------------------------------------------- functions
* strarg: "(" string expression; the descriptor stays a temporary. X = it.
strarg  JSR needlp
        JSR eval
        LDA <VALTYP
        CMPA #3
        LBNE tmerr
        LDX <SDESC
        RTS

* substr: X = source descriptor, A = first position (0-based), B = how many
* (both within the string): a new temporary string of those characters.
substr  PSHS A,B,X
        JSR getspa          ; the source may move: its descriptor follows
        PSHS X,Y
        TFR X,Y
        LDX 6,S             ; the descriptor
        LDX 1,X
        LDA 4,S
        LEAX A,X            ; (positions up to 255: A as unsigned below)
        TSTA
        BPL .c
        LEAX 256,X
.c      LDB 5,S
        BEQ .d
.l      LDA ,X+
        STA ,Y+
        DECB
        BNE .l
.d      LDX 6,S
        JSR frestr
        PULS X,Y
        LDB 1,S
        LEAS 4,S
        JMP putnew

fnlen   JSR strarg
        JSR needrp
        JSR frestr
        CLRA
        JMP setint

fnasc   JSR strarg
        JSR needrp
        JSR frestr
        TSTB
        LBEQ fcerr
        LDB ,X
        CLRA
        JMP setint

fnchr   JSR needlp
        JSR getbyte
        JSR needrp
        PSHS B
        LDB #1
        JSR getspa
        PULS B
        STB ,X
        LDB #1
        JMP putnew

* LEFT$(s$, n) / RIGHT$(s$, n)
fnleft  CLRA
        BRA lr
fnright LDA #1
lr      PSHS A
        JSR strarg
        PSHS X
        JSR needcm
        JSR getbyte
        JSR needrp
        PULS X
        CMPB ,X
        BLS .n
        LDB ,X
.n      PULS A
        TSTA
        BEQ .left
        LDA ,X              ; RIGHT$: from length - n
        PSHS B
        SUBA ,S+
        LBRA substr
.left   CLRA
        LBRA substr

* MID$(s$, p [, n])
fnmid   JSR strarg
        PSHS X
        JSR needcm
        JSR getbyte
        TSTB
        LBEQ fcerr
        DECB
        PSHS B
        LDB #255
        JSR peek
        CMPA #','
        BNE .n
        LEAY 1,Y
        JSR getbyte
.n      PSHS B
        JSR needrp
        PULS A,B            ; A = count wanted, B = start
        EXG A,B
        LDX ,S++
        CMPA ,X
        BLO .in
        CLRB                ; starts past the end: empty
        LDA ,X
        LBRA substr
.in     PSHS A
        LDA ,X
        SUBA ,S             ; characters from the start
        PSHS A
        CMPB ,S+
        BLS .k
        TFR A,B
.k      PULS A
        LBRA substr

* STR$(n)
fnstr   JSR parnum
        JSR fmtnum
        JMP mkstr

* VAL(s$): the number at the start of the string, as INPUT reads it.
fnval   JSR strarg
        JSR needrp
        JSR frestr
        PSHS Y
        LDY #NUMBUF
        CMPB #40
        BLS .c
        LDB #40
.c      TSTB
        BEQ .z
.l      LDA ,X+
        STA ,Y+
        DECB
        BNE .l
.z      CLR ,Y
        LDX #NUMBUF
        JSR valtxt
        PULS Y,PC

* valtxt: the number at X (spaces, a sign, digits...) -> the value; X past
* it. No number: 0. Carry... errors as the number package reports them.
valtxt  LDA ,X
        CMPA #' '
        BNE .s
        LEAX 1,X
        BRA valtxt
.s      CLR <TMP5
        CMPA #'+'
        BEQ .p
        CMPA #'-'
        BNE .n
        COM <TMP5
.p      LEAX 1,X
.n      LDA ,X
        CMPA #'&'
        BEQ .amp
        PSHS X
        JSR fp_parse
        LBCS error
        CMPX ,S++
        BNE .got
        LDD #0              ; no number: 0
        JSR setint
        BRA .fl
.got    STA <VALTYP
        CMPA #2
        BNE .fl
        PSHS X
        JSR fp_toint
        PULS X
        STD <IVAL
.fl     TST <TMP5
        BEQ .r
        PSHS X
        JSR negate
        PULS X
.r      RTS
.amp    PSHS Y
        TFR X,Y
        JSR hexnum
        TFR Y,X
        PULS Y
        BRA .fl

* STRING$(n, c) / STRING$(n, c$) / SPACE$(n)
fnstrg  JSR needlp
        JSR getbyte
        PSHS B
        JSR needcm
        JSR eval
        LDA <VALTYP
        CMPA #3
        BNE .num
        JSR chkstr
        TSTB
        LBEQ fcerr
        LDB ,X
        BRA .go
.num    JSR toint
        TSTA
        LBNE fcerr
.go     JSR needrp
        TFR B,A
        PULS B
        BRA rept
fnspace JSR parnum
        JSR toint
        TSTA
        LBNE fcerr
        LDA #' '
* rept: B copies of A, a new temporary.
rept    PSHS A,B
        JSR getspa
        PULS A,B
        PSHS B,X
        TSTB
        BEQ .d
.l      STA ,X+
        DECB
        BNE .l
.d      PULS B,X
        JMP putnew

* INSTR([start,] a$, b$): where b$ is in a$ from start on, 0 if nowhere.
fninstr JSR needlp
        LDB #1
        PSHS B
        JSR eval
        LDA <VALTYP
        CMPA #3
        BEQ .s
        JSR toint
        TSTA
        LBNE fcerr
        TSTB
        LBEQ fcerr
        STB ,S
        JSR needcm
        JSR eval
        JSR chkstr0
.s      LDX <SDESC
        PSHS X
        JSR needcm
        JSR eval
        JSR needrp
        JSR chkstr
        STX <TMP1           ; b$
        STB <TMP2
        PULS X
        JSR frestr
        STX <TMP3           ; a$
        STB <TMP2+1
        PULS A              ; start (1-based)
        PSHS Y
        DECA
        TFR A,B
.try    CLRA                ; position B (0-based) in a$
        PSHS B
        ADDB <TMP2
        BCS .no
        CMPB <TMP2+1
        BHI .no
        LDB ,S
        LDX <TMP3
        ABX
        LDY <TMP1
        LDA <TMP2
        BEQ .yes
.c      LDB ,X+
        CMPB ,Y+
        BNE .next
        DECA
        BNE .c
.yes    PULS B
        INCB
        CLRA
        PULS Y
        JMP setint
.next   PULS B
        INCB
        BNE .try
        PSHS B
.no     LEAS 1,S
        PULS Y
        LDD #0
        JMP setint

chkstr0 LDA <VALTYP
        CMPA #3
        LBNE tmerr
        RTS

* mkstr: X = text, B = its length -> a new temporary with a copy of it.
mkstr   PSHS B,X
        JSR getspa
        PSHS X,Y
        TFR X,Y
        LDX 5,S
        LDB 4,S
        BEQ .d
.l      LDA ,X+
        STA ,Y+
        DECB
        BNE .l
.d      PULS X,Y
        PULS B
        LEAS 2,S
        JMP putnew

* HEX$(n) / OCT$(n), n taken as 0..65535.
fnhex   LDA #4
        BRA hexoct
fnoct   LDA #3
hexoct  PSHS A
        JSR parnum
        JSR adrval
        STD <TMP1
        LDX #NUMBUF+20
        CLRB
.l      LDA <TMP1+1
        ANDA #15
        PSHS A
        LDA 1,S
        CMPA #3
        PULS A
        BNE .h
        ANDA #7
.h      ADDA #'0'
        CMPA #'9'
        BLS .p
        ADDA #7
.p      STA ,-X
        INCB
        LDA ,S
.sh     LSR <TMP1
        ROR <TMP1+1
        DECA
        BNE .sh
        LDA <TMP1
        ORA <TMP1+1
        BNE .l
        LEAS 1,S
        BRA mkstr

* INKEY$: the next key typed, or "" when there is none. The key ring in
* the shared RAM is read with the sub CPU halted.
fninkey JSR flushc
        ORCC #$50
        LDA #$80
        STA M_SUBCTL
        LDB SH_MAIN+SH_KTAIL
        CMPB SH_MAIN+SH_KHEAD
        BEQ .none
        LDX #SH_MAIN+SH_KBUF
        LDA B,X
        INCB
        ANDB #SH_KMASK
        STB SH_MAIN+SH_KTAIL
        CLR M_SUBCTL
        ANDCC #$AF
        LDB #1
        BRA onech
.none   CLR M_SUBCTL
        ANDCC #$AF
        CLRB
        LDX #NUMBUF
        JMP putnew
* onech: a one-character string of A.
onech   STA <TMP1
        LDX #TMP1
        LDB #1
        LBRA mkstr

* INPUT$(n): waits for n keys.
fninps  JSR needlp
        JSR getbyte
        TSTB
        LBEQ fcerr
        JSR peek
        CMPA #','
        LBEQ finps          ; INPUT$(n,#f): from a file
        JSR needrp
        PSHS B
        LDX #NUMBUF
.l      PSHS X
        JSR getkey
        PULS X
        TST <BRKFLG
        LBNE dobrk
        STA ,X+
        CMPX #NUMBUF+48
        BHS .d
        DEC ,S
        BNE .l
.d      LEAS 1,S
        TFR X,D
        SUBD #NUMBUF
        LDX #NUMBUF
        LBRA mkstr

* MID$(v$, p [, n]) = s$: characters of v$ replaced in place.
midst   JSR needlp
        JSR getsvar
        PSHS X
        LDD 1,X             ; not in string space (program text): copy first
        CMPD <FRETOP
        BLO .cp
        CMPD <MEMSIZ
        BLO .in
.cp     LDB ,X
        LDX 1,X
        JSR mkstr
        LDX <SDESC
        LDU ,S
        LDA ,X
        STA ,U
        LDD 1,X
        STD 1,U
        JSR poptmp
        LDU #USTK
.in     JSR needcm
        JSR getbyte
        TSTB
        LBEQ fcerr
        DECB
        PSHS B
        LDB #255
        JSR peek
        CMPA #','
        BNE .n
        LEAY 1,Y
        JSR getbyte
.n      PSHS B
        JSR needrp
        LDB #'='
        JSR need
        JSR eval
        JSR chkstr0
        LDX 2,S             ; the variable
        LDA 1,S             ; start
        CMPA ,X
        LBHS fcerr
        LDA ,X
        SUBA 1,S            ; room from the start
        CMPA ,S
        BHS .k
        STA ,S
.k      LDX <SDESC
        LDA ,X              ; the new characters
        CMPA ,S
        BHS .k2
        STA ,S
.k2     PSHS Y
        LDY 4,S
        LDY 1,Y
        LDB 3,S
        LEAY B,Y
        TSTB
        BPL .y
        LEAY 256,Y
.y      LDB 2,S
        BEQ .d
        LDX 1,X
.c      LDA ,X+
        STA ,Y+
        DECB
        BNE .c
.d      PULS Y
        LDX <SDESC
        JSR frestr
        LEAS 4,S
        RTS
