* fpconv.asm: numbers to and from text: fp_parse (VAL, INPUT, READ and the
* program text), fp_format (PRINT, STR$) and fp_digits (PRINT USING).
*
* Entry points: fp_parse, fp_format, fp_digits; fpxscale (FAC := FAC x 10^D,
* 64 bits).
* Registers: A, B, X and CC change; Y, U and S are kept. DP must be $70.
*
* Work bytes: FPK (flags, digit counts, decimal exponent, saved FPREC), FPSC
* (power table pointer and count), FPP (the digits as a binary integer),
* FPDBF (decimal digits), FPSAV/FPSAV2 (FAC and ARG kept across formatting),
* FPXN (mantissa bytes of the scaling).
*
* Text to number: the significant digits (up to 19) are collected as a
* 64-bit integer, which becomes a double and is then multiplied by the powers
* of ten the decimal exponent asks for (10^1, 10^2, 10^4 ... 10^32 and their
* reciprocals, each rounded to 56 bits), the result finally rounded to the
* precision of its type. Number to text: the number is scaled by a power of
* ten into 10^(N-1)..10^N for N significant digits, rounded to a whole
* number and taken apart into decimal digits by subtracting powers of ten.

        SETDP $70

PF_DIG  EQU $01             ; FPK flags: a digit was read
PF_PT   EQU $02             ; a point was read
PF_EXP  EQU $04             ; an exponent was read
PF_DBL  EQU $08             ; D exponent or # suffix
PF_NEG  EQU $10             ; a minus sign
PF_SGL  EQU $20             ; ! suffix
PF_INT  EQU $40             ; % suffix

* ---------------------------------------------------------------- parse
fp_parse
        PSHS X
        CLR FPK             ; flags
        CLR FPK+1           ; digits in the integer
        CLR FPK+2           ; significant digits seen
        CLR FPK+3           ; decimal exponent (16 bits)
        CLR FPK+4
        LDD #0
        STD FPP
        STD FPP+2
        STD FPP+4
        STD FPP+6
.sp     LDA ,X+
        CMPA #' '
        BEQ .sp
        CMPA #'+'
        BEQ .dig0
        CMPA #'-'
        BNE .first
        LDB #PF_NEG
        STB FPK
.dig0   LDA ,X+
.first  CMPA #'.'
        BEQ .point
        SUBA #'0'
        CMPA #9
        BHI .mdone
        LDB FPK
        ORB #PF_DIG
        STB FPK
        TSTA
        BNE .sig
        TST FPK+2
        BEQ .lead           ; a leading zero
.sig    LDB FPK+2
        INCB
        BEQ .nosat
        STB FPK+2
.nosat  LDB FPK+1
        CMPB #19
        BHS .extra
        INC FPK+1
        TFR A,B
        JSR fpmul10
.lead   LDB FPK             ; a digit after the point: one place lower
        BITB #PF_PT
        BEQ .dig0
        LDD FPK+3
        SUBD #1
        STD FPK+3
        BRA .dig0
.extra  LDB FPK             ; a digit beyond 19: only its place counts
        BITB #PF_PT
        BNE .dig0
        LDD FPK+3
        ADDD #1
        STD FPK+3
        BRA .dig0
.point  LDB FPK
        BITB #PF_PT
        BNE .mdone
        ORB #PF_PT
        STB FPK
        BRA .dig0
.mdone  LEAX -1,X           ; X at the character that ended the digits
        LDB FPK
        BITB #PF_DIG
        LBEQ .none
        LDA ,X
        ANDA #$DF           ; upper case
        CMPA #'E'
        BEQ .exp
        CMPA #'D'
        BNE .suffix
        ORB #PF_DBL
.exp    ORB #PF_EXP
        STB FPK
        LEAX 1,X
        CLR FPT+4           ; exponent sign
        LDD #0
        STD FPT+2           ; its value
        LDA ,X
        CMPA #'+'
        BEQ .esg
        CMPA #'-'
        BNE .ed
        COM FPT+4
.esg    LEAX 1,X
.ed     LDA ,X
        SUBA #'0'
        CMPA #9
        BHI .eend
        LEAX 1,X
        PSHS A
        LDD FPT+2
        CMPD #1000
        BHS .ebig           ; far beyond any number: stop growing
        LSLB
        ROLA
        PSHS D
        LSLB
        ROLA
        LSLB
        ROLA
        ADDD ,S++
        ADDB ,S
        ADCA #0
        STD FPT+2
.ebig   LEAS 1,S
        BRA .ed
.eend   LDD FPT+2
        TST FPT+4
        BEQ .epos
        COMA
        COMB
        ADDD #1
.epos   ADDD FPK+3
        STD FPK+3
        BRA .value
.suffix CMPA #'#'&$DF
        BNE .s1
        ORB #PF_DBL
        BRA .sfx
.s1     CMPA #'!'&$DF
        BNE .s2
        ORB #PF_SGL
        BRA .sfx
.s2     CMPA #'%'&$DF
        BNE .value
        ORB #PF_INT
.sfx    STB FPK
        LEAX 1,X
* The digits as a double, then scaled.
.value  STX ,S              ; where the number ends
        LDA #8
        STA FPREC
        JSR fpsetn
        ; a small whole number with no point, exponent or suffix: integer
        LDA FPK
        BITA #PF_PT|PF_EXP|PF_DBL|PF_SGL
        BNE .tofp
        LDD FPK+3
        BNE .tofp
        LDD FPP
        BNE .tofp
        LDD FPP+2
        BNE .tofp
        LDD FPP+4
        BNE .tofp
        LDD FPP+6
        CMPD #$7FFF
        BLS .isint
        CMPD #$8000
        BNE .tofp
        LDA FPK
        BITA #PF_NEG
        BEQ .tofp
.isint  LDA #4
        STA FPREC
        LDD FPP+6
        JSR fp_fromuint
        LDA #2
        LBRA .sign
.tofp   LDX #FPP            ; the 64-bit integer into FAC
        LDD ,X
        STD FACMAN
        LDD 2,X
        STD FACMAN+2
        LDD 4,X
        STD FACMAN+4
        LDD 6,X
        STD FACMAN+6
        CLR FACRND          ; the guard
        CLR FPSGN
        LDD #$C0
        STD FPEXP
        LDA #8
        STA FPN
        STA FPXN
        JSR fpnorm
        LDA FACEXP
        BEQ .typ
        LDD FPK+3
        BEQ .x2d
        JSR fpxscale
        BCS .err
.x2d    LDA #7              ; round the 64 bits to a double
        STA FPN
        CLR FPEXP
        LDA FACEXP
        STA FPEXP+1
        JSR fpround
        BCS .err
.typ    LDB FPK
        BITB #PF_INT
        BNE .int
        BITB #PF_DBL
        BNE .dbl
        BITB #PF_SGL
        BNE .sgl
        LDA FPK+2
        CMPA #7
        BHI .dbl
.sgl    LDA #4
        STA FPREC
        JSR fp_round
        BCS .err
        LDA #4
        BRA .sign
.int    LDA #4
        STA FPREC
        JSR fp_round
        BCS .err
        LDA FPK             ; the sign first: -32768% fits
        BITA #PF_NEG
        BEQ .i1
        JSR fp_neg
.i1     JSR fp_toint
        BCS .err
        JSR fp_fromint
        LDA #2
        PULS X,PC
.dbl    LDA #8
.sign   LDB FPK
        BITB #PF_NEG
        BEQ .pos
        LDB FACEXP
        BEQ .pos
        COM FACSGN
.pos    ANDCC #$FE
        PULS X,PC
.err    LDB #6
        ORCC #1
        PULS X,PC
.none   LDA #4              ; no number: 0, X where it was
        STA FPREC
        JSR fpzero
        LDA #4
        PULS X,PC

* The integer in FPP (8 bytes) := FPP * 10 + B.
fpmul10 PSHS X
        LDX #FPP+8
        STB FPT
.l      LDA ,-X
        LDB #10
        MUL
        ADDB FPT
        ADCA #0
        STB ,X
        STA FPT
        CMPX #FPP
        BNE .l
        PULS X,PC

* FAC := FAC x 10^D (D signed) with 64-bit mantissas (FPN = 8, FAC
* positive and nonzero); carry/6 if it overflows. Steps of 10^32 first, then
* 10^16 ... 10^1 as the count's bits say, so that a result within range never
* leaves the range on the way.
fpxscale LDX #fp10pos
        TSTA
        BPL .p
        COMA
        COMB
        ADDD #1
        LDX #fp10neg
.p      CMPD #16            ; up to 16 places: one step from the table
        BHI .far
        TSTB
        BEQ .r0
        LEAX 6*9,X          ; p10pos, p10neg -> p10xp, p10xn
        DECB
        LDA #9
        MUL
        LEAX D,X
        JSR fpxarg
        JMP fpxmul
.r0     CLRA
        RTS
.far    CMPD #200
        BLS .ok
        LDD #200
.ok     STX FPSC
        STD FPSC+2
.big    LDD FPSC+2
        CMPD #32
        BLO .small
        SUBD #32
        STD FPSC+2
        LDX FPSC
        LEAX 45,X
        BSR fpxarg
        JSR fpxmul
        BCC .big
        RTS
.small  LDX FPSC
        LEAX 36,X
        STX FPSC
        LDA #$10
        STA FPSC+2          ; the bit for the table entry at FPSC
.bl     LDA FPSC+3
        ANDA FPSC+2
        BEQ .nx
        LDX FPSC
        BSR fpxarg
        JSR fpxmul
        BCS .r
.nx     LDX FPSC
        LEAX -9,X
        STX FPSC
        LSR FPSC+2
        BNE .bl
        CLRA
.r      RTS

* ARG := the 64-bit constant at X (exponent, 8 mantissa bytes).
fpxarg  LDD ,X
        STD ARG
        LDD 2,X
        STD ARG+2
        LDD 4,X
        STD ARG+4
        LDD 6,X
        STD ARG+6
        LDA 8,X
        STA ARG+8
        RTS

* ---------------------------------------------------------------- digits
* FPDBF := the first N = FPK+1 significant digits of |FAC| (FAC nonzero),
* rounded, as ASCII; FPK+3 := the decimal exponent K of the first digit
* (|FAC| = 0.ddd x 10^K). FAC, ARG and FPREC are kept.
fpdig   LDX #FPSAV
        JSR fpsave
        LDX #FPSAV2
        JSR fpargsv
        LDA FPREC
        STA FPK+5
        LDA #8
        STA FPREC
        JSR fpsetn
        CLR FACSGN          ; |FAC| with 64 bits
        CLR FACRND
        LDA #8
        STA FPN
        LDB FPK+1
        CMPB #7
        BHI .x8
        LDA #4              ; 7 digits or fewer: 32 bits of scaling do
.x8     STA FPXN
        LDA FACEXP          ; K ~ log10(2) x (exponent - 128) + 1
        LDB #77
        MUL
        SUBD #9864
        INCA
        STA FPK+3
        LDB FPK+1           ; scale by 10^(N-K)
        SUBB FPK+3
        SEX
        JSR fpxscale
.conv   JSR fptoi
        LDB FPK+1           ; below 10^(N-1): one digit more
        DECB
        LBSR fp10ent
        LBSR fpicmp
        BHS .lo
        LDX #fp10pos
        JSR fpxarg
        JSR fpxmul
        DEC FPK+3
        BRA .conv
.lo     LDB FPK+1           ; 10^N or more: one digit less
        JSR fp10ent
        LBSR fpicmp
        BLO .rnd
        LDX #fp10neg
        JSR fpxarg
        JSR fpxmul
        INC FPK+3
        BRA .conv
.rnd    LDA FPT+6           ; round; 10^N then is 10^(N-1) one place up
        BEQ .dig
        LDX #FPP+8
        LDB #8
        ORCC #1
.inc    LDA ,-X
        ADCA #0
        STA ,X
        DECB
        BNE .inc
        LDB FPK+1
        BSR fp10ent
        BSR fpicmp
        BLO .dig
        LDB FPK+1
        DECB
        BSR fp10ent
        LDD ,X
        STD FPP
        LDD 2,X
        STD FPP+2
        LDD 4,X
        STD FPP+4
        LDD 6,X
        STD FPP+6
        INC FPK+3
.dig    LDB FPK+1
        STB FPCNT
        LDX #FPDBF
        STX FPSC
.d1     LDB FPCNT
        DECB
        BSR fp10ent
        LDA #'0'
        STA FPT
        LDB FPK+1           ; up to 7 digits: the number fits 24 bits
        CMPB #7
        BHI .d2
.d24    LDD FPP+6
        SUBD 6,X
        STD FPT+2
        LDA FPP+5
        SBCA 5,X
        BCS .d3
        STA FPP+5
        LDD FPT+2
        STD FPP+6
        INC FPT
        BRA .d24
.d2     BSR fpicmp
        BLO .d3
        BSR fpisub
        INC FPT
        BRA .d2
.d3     LDA FPT
        LDX FPSC
        STA ,X+
        STX FPSC
        DEC FPCNT
        BNE .d1
        LDX #FPSAV2
        JSR fpargrs
        LDX #FPSAV
        JSR fprest
        LDA FPK+5
        STA FPREC
        RTS

* X := the 8-byte integer 10^B.
fp10ent LDX #fp10int
        LSLB
        LSLB
        LSLB
        ABX
        RTS

* Compare the integer in FPP (8 bytes) with the one at X: carry set if less.
fpicmp  PSHS X,Y
        LDY #FPP
        LDB #8
.l      LDA ,Y+
        CMPA ,X+
        BNE .r
        DECB
        BNE .l
.r      PULS X,Y,PC

* FPP (8 bytes) -= the integer at X.
fpisub  PSHS X,Y
        LEAX 8,X
        LDY #FPP+8
        LDB #8
        ANDCC #$FE
.l      LDA ,-Y
        SBCA ,-X
        STA ,Y
        DECB
        BNE .l
        PULS X,Y,PC

* FPP (8 bytes) := |FAC| (64-bit mantissa) cut to a whole number; FPT+6 :=
* the first bit cut off (1: round up). 2^64 or more gives all ones.
fptoi   LDD #0
        STD FPP
        STD FPP+2
        STD FPP+4
        STD FPP+6
        STA FPT+6
        LDA FACEXP
        CMPA #$80
        BLO .r
        BEQ .half
        LDD FACMAN
        STD FPP
        LDD FACMAN+2
        STD FPP+2
        LDD FACMAN+4
        STD FPP+4
        LDD FACMAN+6
        STD FPP+6
        LDB #$C0
        SUBB FACEXP         ; places to shift (1..63)
        BEQ .r
        BLO .huge
        DECB
.byte   CMPB #8
        BLO .bits
        LDX #FPP+7
.mv     LDA -1,X
        STA ,X
        LEAX -1,X
        CMPX #FPP
        BNE .mv
        CLR ,X
        SUBB #8
        BRA .byte
.bits   INCB
.bl     LSR FPP
        ROR FPP+1
        ROR FPP+2
        ROR FPP+3
        ROR FPP+4
        ROR FPP+5
        ROR FPP+6
        ROR FPP+7
        DECB
        BNE .bl
        ROL FPT+6           ; the last bit out
.r      RTS
.half   INC FPT+6
        RTS
.huge   LDD #$FFFF
        STD FPP
        RTS

* Copies of ARG (10 bytes) to and from X.
fpargsv PSHS U
        LDU #ARG
        JMP fpcopy
fpargrs PSHS U
        LDU #ARG
        EXG X,U
        JMP fpcopy

* ---------------------------------------------------------------- format
* FPSTR := FAC as PRINT shows it; X := FPSTR, B := its length.
fp_format
        PSHS U
        LDU #FPSTR
        LDA #' '
        LDB FACEXP
        BNE .nz
        LDB #'0'
        STD ,U++
        LBRA .end
.nz     TST FACSGN
        BPL .sg
        LDA #'-'
.sg     STA ,U+
        LDB #7
        LDA FPREC
        CMPA #4
        BEQ .n
        LDB #16
.n      STB FPK+1
        JSR fpdig
        LDB FPK+1           ; s: digits without the trailing zeros
        LDX #FPDBF-1
.tz     CMPB #1
        BEQ .tzd
        LDA B,X
        CMPA #'0'
        BNE .tzd
        DECB
        BRA .tz
.tzd    STB FPK+2
        LDX #FPDBF
        LDA FPK+3           ; K: the decimal exponent
        BLE .frac
        CMPA FPK+1
        BGT .expo
        LDB FPK+3           ; K whole digits, zeros after the last one
        CLR FPT
.w      LDA FPT
        CMPA FPK+2
        BHS .wz
        LDA ,X+
        BRA .wo
.wz     LDA #'0'
.wo     STA ,U+
        INC FPT
        DECB
        BNE .w
        LDB FPK+2           ; then the fraction, if any
        SUBB FPK+3
        BLS .end
        LDA #'.'
        STA ,U+
.f      LDA ,X+
        STA ,U+
        DECB
        BNE .f
        BRA .end
.frac   LDB FPK+2           ; below 1: fixed if the zeros after the point
        SUBB FPK+3          ; and the digits fit
        CMPB FPK+1
        BHI .expo
        LDA #'.'
        STA ,U+
        LDB FPK+3
        BEQ .fd
        NEGB
        LDA #'0'
.fz     STA ,U+
        DECB
        BNE .fz
.fd     LDB FPK+2
.fc     LDA ,X+
        STA ,U+
        DECB
        BNE .fc
        BRA .end
.expo   LDA ,X+             ; d.ddddE+nn
        STA ,U+
        LDB FPK+2
        DECB
        BEQ .e
        LDA #'.'
        STA ,U+
.ec     LDA ,X+
        STA ,U+
        DECB
        BNE .ec
.e      LDA #'E'
        LDB FPREC
        CMPB #4
        BEQ .e1
        LDA #'D'
.e1     STA ,U+
        LDA #'+'
        LDB FPK+3
        DECB
        BPL .e2
        LDA #'-'
        NEGB
.e2     STA ,U+
        LDA #'0'-1
.e3     INCA
        SUBB #10
        BCC .e3
        ADDB #'0'+10
        STD ,U++
.end    CLR ,U
        TFR U,D
        SUBD #FPSTR
        LDX #FPSTR
        PULS U,PC

* ---------------------------------------------------------------- PRINT USING
* FPSTR := the first B (1..16) significant digits of |FAC|, rounded, and a
* zero byte; A := the decimal exponent (|FAC| = 0.ddd x 10^A); X := FPSTR.
fp_digits
        TSTB                ; 1..16 digits
        BNE .b1
        INCB
.b1     CMPB #16
        BLS .b2
        LDB #16
.b2     STB FPK+1
        LDX #FPSTR
        LDA FACEXP
        BNE .nz
        LDA #'0'
.z      STA ,X+
        DECB
        BNE .z
        CLR ,X
        LDX #FPSTR
        CLRA
        RTS
.nz     JSR fpdig
        LDX #FPDBF
        PSHS U
        LDU #FPSTR
        LDB FPK+1
.c      LDA ,X+
        STA ,U+
        DECB
        BNE .c
        CLR ,U
        PULS U
        LDX #FPSTR
        LDA FPK+3
        RTS

* ---------------------------------------------------------------- tables
fp10pos
        FCB $84,$A0,$00,$00,$00,$00,$00,$00,$00   ; 1E1
        FCB $87,$C8,$00,$00,$00,$00,$00,$00,$00   ; 1E2
        FCB $8E,$9C,$40,$00,$00,$00,$00,$00,$00   ; 1E4
        FCB $9B,$BE,$BC,$20,$00,$00,$00,$00,$00   ; 1E8
        FCB $B6,$8E,$1B,$C9,$BF,$04,$00,$00,$00   ; 1E16
        FCB $EB,$9D,$C5,$AD,$A8,$2B,$70,$B5,$9E   ; 1E32
fp10xp
        FCB $84,$A0,$00,$00,$00,$00,$00,$00,$00   ; 1E1
        FCB $87,$C8,$00,$00,$00,$00,$00,$00,$00   ; 1E2
        FCB $8A,$FA,$00,$00,$00,$00,$00,$00,$00   ; 1E3
        FCB $8E,$9C,$40,$00,$00,$00,$00,$00,$00   ; 1E4
        FCB $91,$C3,$50,$00,$00,$00,$00,$00,$00   ; 1E5
        FCB $94,$F4,$24,$00,$00,$00,$00,$00,$00   ; 1E6
        FCB $98,$98,$96,$80,$00,$00,$00,$00,$00   ; 1E7
        FCB $9B,$BE,$BC,$20,$00,$00,$00,$00,$00   ; 1E8
        FCB $9E,$EE,$6B,$28,$00,$00,$00,$00,$00   ; 1E9
        FCB $A2,$95,$02,$F9,$00,$00,$00,$00,$00   ; 1E10
        FCB $A5,$BA,$43,$B7,$40,$00,$00,$00,$00   ; 1E11
        FCB $A8,$E8,$D4,$A5,$10,$00,$00,$00,$00   ; 1E12
        FCB $AC,$91,$84,$E7,$2A,$00,$00,$00,$00   ; 1E13
        FCB $AF,$B5,$E6,$20,$F4,$80,$00,$00,$00   ; 1E14
        FCB $B2,$E3,$5F,$A9,$31,$A0,$00,$00,$00   ; 1E15
        FCB $B6,$8E,$1B,$C9,$BF,$04,$00,$00,$00   ; 1E16
fp10neg
        FCB $7D,$CC,$CC,$CC,$CC,$CC,$CC,$CC,$CD   ; 1E-1
        FCB $7A,$A3,$D7,$0A,$3D,$70,$A3,$D7,$0A   ; 1E-2
        FCB $73,$D1,$B7,$17,$58,$E2,$19,$65,$2C   ; 1E-4
        FCB $66,$AB,$CC,$77,$11,$84,$61,$CE,$FD   ; 1E-8
        FCB $4B,$E6,$95,$94,$BE,$C4,$4D,$E1,$5B   ; 1E-16
        FCB $16,$CF,$B1,$1E,$AD,$45,$39,$94,$BA   ; 1E-32
fp10xn
        FCB $7D,$CC,$CC,$CC,$CC,$CC,$CC,$CC,$CD   ; 1E-1
        FCB $7A,$A3,$D7,$0A,$3D,$70,$A3,$D7,$0A   ; 1E-2
        FCB $77,$83,$12,$6E,$97,$8D,$4F,$DF,$3B   ; 1E-3
        FCB $73,$D1,$B7,$17,$58,$E2,$19,$65,$2C   ; 1E-4
        FCB $70,$A7,$C5,$AC,$47,$1B,$47,$84,$23   ; 1E-5
        FCB $6D,$86,$37,$BD,$05,$AF,$6C,$69,$B6   ; 1E-6
        FCB $69,$D6,$BF,$94,$D5,$E5,$7A,$42,$BC   ; 1E-7
        FCB $66,$AB,$CC,$77,$11,$84,$61,$CE,$FD   ; 1E-8
        FCB $63,$89,$70,$5F,$41,$36,$B4,$A5,$97   ; 1E-9
        FCB $5F,$DB,$E6,$FE,$CE,$BD,$ED,$D5,$BF   ; 1E-10
        FCB $5C,$AF,$EB,$FF,$0B,$CB,$24,$AA,$FF   ; 1E-11
        FCB $59,$8C,$BC,$CC,$09,$6F,$50,$88,$CC   ; 1E-12
        FCB $55,$E1,$2E,$13,$42,$4B,$B4,$0E,$13   ; 1E-13
        FCB $52,$B4,$24,$DC,$35,$09,$5C,$D8,$0F   ; 1E-14
        FCB $4F,$90,$1D,$7C,$F7,$3A,$B0,$AC,$D9   ; 1E-15
        FCB $4B,$E6,$95,$94,$BE,$C4,$4D,$E1,$5B   ; 1E-16
fp10int
        FCB $00,$00,$00,$00,$00,$00,$00,$01   ; 1E0
        FCB $00,$00,$00,$00,$00,$00,$00,$0A   ; 1E1
        FCB $00,$00,$00,$00,$00,$00,$00,$64   ; 1E2
        FCB $00,$00,$00,$00,$00,$00,$03,$E8   ; 1E3
        FCB $00,$00,$00,$00,$00,$00,$27,$10   ; 1E4
        FCB $00,$00,$00,$00,$00,$01,$86,$A0   ; 1E5
        FCB $00,$00,$00,$00,$00,$0F,$42,$40   ; 1E6
        FCB $00,$00,$00,$00,$00,$98,$96,$80   ; 1E7
        FCB $00,$00,$00,$00,$05,$F5,$E1,$00   ; 1E8
        FCB $00,$00,$00,$00,$3B,$9A,$CA,$00   ; 1E9
        FCB $00,$00,$00,$02,$54,$0B,$E4,$00   ; 1E10
        FCB $00,$00,$00,$17,$48,$76,$E8,$00   ; 1E11
        FCB $00,$00,$00,$E8,$D4,$A5,$10,$00   ; 1E12
        FCB $00,$00,$09,$18,$4E,$72,$A0,$00   ; 1E13
        FCB $00,$00,$5A,$F3,$10,$7A,$40,$00   ; 1E14
        FCB $00,$03,$8D,$7E,$A4,$C6,$80,$00   ; 1E15
        FCB $00,$23,$86,$F2,$6F,$C1,$00,$00   ; 1E16
